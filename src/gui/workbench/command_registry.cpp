#include "gui/workbench/command_registry.h"

#include <QAction>

namespace qel::gui {

const CommandRegistry::Handler *CommandRegistry::handler(Command command) const
{
    const auto found = m_handlers.find(command);
    return found != m_handlers.end() && found->second ? &found->second : nullptr;
}

void CommandRegistry::addAction(Command command, QAction *action)
{
    m_actions[command].append(action);
    if (!handler(command))
        action->setEnabled(false);
}

QList<QAction *> CommandRegistry::actions(Command command) const
{
    const auto found = m_actions.find(command);
    return found != m_actions.end() ? found->second : QList<QAction *>();
}

QAction *CommandRegistry::firstAction(Command command) const
{
    const QList<QAction *> list = actions(command);
    return list.isEmpty() ? nullptr : list.first();
}

void CommandRegistry::setEnabled(Command command, bool enabled)
{
    const bool built = handler(command) != nullptr;
    for (QAction *action : actions(command))
        action->setEnabled(enabled && built);
}

} // namespace qel::gui
