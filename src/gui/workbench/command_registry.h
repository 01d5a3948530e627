#pragma once

#include "core/commands.h"

#include <QList>

#include <functional>
#include <unordered_map>

class QAction;

namespace qel::gui {

// What each command carries out and the menu entries and buttons that start it. A command
// without a handler is not built yet: its actions stay disabled whatever core asks.
class CommandRegistry {
public:
    using Handler = std::function<void()>;

    void setHandler(Command command, Handler handler) { m_handlers[command] = std::move(handler); }
    // Null when the command is not built yet.
    const Handler *handler(Command command) const;
    void addAction(Command command, QAction *action);
    QList<QAction *> actions(Command command) const;
    // The menu entry of a command, else its first button; null when it has neither.
    QAction *firstAction(Command command) const;
    void setEnabled(Command command, bool enabled);

private:
    std::unordered_map<Command, Handler> m_handlers;
    std::unordered_map<Command, QList<QAction *>> m_actions;
};

} // namespace qel::gui
