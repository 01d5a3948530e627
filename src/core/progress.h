#pragma once

#include "core/session.h"

#include <QElapsedTimer>
#include <QString>

namespace qel {

// Feedback from long work (reading a project, a plume run, a large base map): a status text, the
// fraction done and a chance for the window to repaint. The outermost Progress of a session shows
// the busy pointer and the progress bar; inner ones only pass their text on. Leaving the scope,
// also through an exception, ends it.
class Progress {
public:
    // text: the "Status" panel text to show; empty leaves the panel as it is.
    explicit Progress(Session &session, const QString &text = {});
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    void setText(const QString &text);
    // 0..1; only the outermost Progress moves the bar.
    void setFraction(double fraction);
    // Lets the window repaint, at most every BreathInterval, so it may be called every row.
    void breathe();

    static constexpr int BreathIntervalMs = 50;

private:
    Session &m_session;
    bool m_outermost;
    double m_fraction = 0;
    QElapsedTimer m_sinceBreath;
};

} // namespace qel
