#pragma once

#include "core/session.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <utility>
#include <vector>

namespace qel::gui {

// The point pick that waits on the map, kept with the session. A pick runs a nested event loop
// with the menus and its calling window live; whatever would close or re-enter that caller ends
// the pick first and runs once the caller's code after the pick has returned.
class MapPick : public SessionPart {
public:
    explicit MapPick(Session &) { }

    // Whether a window's code waits for a pick (the pick itself may already have ended).
    bool callerRunning() const { return m_callers > 0; }
    // The map canvas registers how to end the pick it waits for; empty when it returns.
    void setAbort(std::function<void()> abort) { m_abort = std::move(abort); }
    void abort()
    {
        if (m_abort)
            m_abort();
    }

    // Runs `action` once every caller has returned; dropped when its context has gone.
    void afterCallers(QObject *context, std::function<void()> action)
    {
        m_after.emplace_back(context, std::move(action));
    }
    void callerStarted() { ++m_callers; }
    // The last caller returned: the actions queued meanwhile are posted to the event loop, so
    // they run after the caller's own event handler has finished.
    void callerReturned();

private:
    int m_callers = 0;
    std::function<void()> m_abort;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_after;
};

MapPick &mapPick(Session &session);

} // namespace qel::gui
