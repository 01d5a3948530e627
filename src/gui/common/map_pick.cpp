#include "gui/common/map_pick.h"

#include <QTimer>

namespace qel::gui {

void MapPick::callerReturned()
{
    if (--m_callers > 0)
        return;
    auto after = std::exchange(m_after, {});
    for (auto &[context, action] : after)
        if (context)
            QTimer::singleShot(0, context.data(), std::move(action));
}

MapPick &mapPick(Session &session)
{
    return session.part<MapPick>();
}

} // namespace qel::gui
