#pragma once

#include "core/session.h"

namespace qel {

// Resets the model to an empty project (New, Open before reading, Close, Edit > Clear). The
// program-wide settings (editor paths, multiple projects) are kept.
void ClearAll(Session &session);

} // namespace qel
