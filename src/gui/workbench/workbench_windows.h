#pragma once

#include "gui/workbench/window_factories.h"

namespace qel::gui {

// The windows the workbench opens from its commands: dialogs, documents, viewers, help.
WindowFactories workbenchWindowFactories();

} // namespace qel::gui
