#pragma once

#include "core/session.h"

#include <QElapsedTimer>
#include <QString>

namespace qel {

// Feedback from long work (reading a project, a plume run, a large base map): a status text, the
// fraction done and a chance for the window to repaint. The outermost Progress of a session shows
// the busy pointer and the progress bar; inner ones only pass their text on. Leaving the scope,
// also through an exception, ends it.
//
// The person may ask to cancel long work. The work polls cancelled() where it breathes and, when
// asked, stops without changing anything it had not changed before it began; it then says so
// through cancelledText, never with an error box.
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
    // Whether the person asked to cancel; once asked, stays so for this Progress.
    bool cancelled();
    // Throws WorkCancelled when cancelled(): for work deep in a call chain whose caller commits.
    void throwIfCancelled();

    static constexpr int BreathIntervalMs = 50;

private:
    Session &m_session;
    bool m_outermost;
    bool m_cancelled = false;
    double m_fraction = 0;
    QElapsedTimer m_sinceBreath;
};

// Thrown by Progress::throwIfCancelled. Deliberately not a std::exception: no failure handler on
// the way out (guarded) takes it for a failure; the step that began the work catches it.
struct WorkCancelled { };

// The status text and message line of a step that was cancelled: what stopped, and what stayed.
void reportCancelled(Session &session, const QString &text);

} // namespace qel
