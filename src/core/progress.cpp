#include "core/progress.h"

#include "core/reporting.h"

#include <algorithm>

namespace qel {

Progress::Progress(Session &session, const QString &text)
    : m_session(session)
    , m_outermost(session.progressDepth == 0)
{
    ++session.progressDepth;
    if (m_outermost) {
        session.frontend().setBusy(true);
        session.frontend().beginProgress(text);
    }
    if (!text.isEmpty())
        session.setStatus(text);
    m_sinceBreath.start();
}

Progress::~Progress()
{
    --m_session.progressDepth;
    if (m_outermost) {
        m_session.frontend().endProgress();
        m_session.frontend().setBusy(false);
    }
}

void Progress::setText(const QString &text)
{
    m_session.setStatus(text);
}

void Progress::setFraction(double fraction)
{
    if (!m_outermost)
        return;
    // The bar never runs backwards, whatever order the work reports in.
    m_fraction = std::clamp(std::max(fraction, m_fraction), 0.0, 1.0);
    m_session.frontend().setProgress(m_fraction);
}

void Progress::breathe()
{
    if (m_sinceBreath.elapsed() < BreathIntervalMs)
        return;
    m_session.frontend().processPendingEvents();
    m_sinceBreath.restart();
}

bool Progress::cancelled()
{
    if (!m_cancelled)
        m_cancelled = m_session.frontend().cancelRequested();
    return m_cancelled;
}

void Progress::throwIfCancelled()
{
    if (cancelled())
        throw WorkCancelled {};
}

void reportCancelled(Session &session, const QString &text)
{
    WriteLog(session, text);
    Message(session, text, true);
}

} // namespace qel
