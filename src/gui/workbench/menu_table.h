#pragma once

#include "core/commands.h"

#include <optional>
#include <vector>

namespace qel::gui {

// WindowList: a separator and an entry for each open window of the document area (the active one
// checked), kept up to date by the main window.
enum class MenuItemKind { Command, Separator, RecentFiles, WindowList };

// One entry of a menu. logText: the log line written before the command runs, under the failure
// tag "UI:<objectName>_Click"; null when the command writes its own. shortcut: a key sequence in
// QKeySequence's portable text ("Ctrl+F4"), or null.
struct MenuItem {
    MenuItemKind kind = MenuItemKind::Command;
    Command command = Command::FileNew;
    const char *objectName = nullptr;
    const char *caption = nullptr;
    const char *logText = nullptr;
    const char *shortcut = nullptr;
};

struct MenuDefinition {
    const char *objectName;
    const char *caption;
    std::vector<MenuItem> items;
};

// The menu bar, left to right.
const std::vector<MenuDefinition> &menuDefinitions();

// One button of the main toolbar; no command: a separator. key names the icon and the object
// ("tb" + key without blanks).
struct ToolButtonDefinition {
    std::optional<Command> command;
    const char *key = nullptr;
    const char *tip = nullptr;
};

const std::vector<ToolButtonDefinition> &toolbarButtons();

} // namespace qel::gui
