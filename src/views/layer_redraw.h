#pragma once

#include "core/session.h"

#include <QString>

#include <vector>

namespace qel {

// The map shows the base map and then every ticked result layer, loaded again from its file in
// one fixed order: bands first, the source mark last. except is a drawing number left out (a
// routine about to redraw its own layer), 0 for none. Failures are reported under "Layers:Redraw".
void Redraw(Session &session, int except);

// The drawing numbers Redraw loads, in order.
std::vector<int> redrawSequence(const Session &session, int except);

// The file a layer is loaded from: its base name under the project's Temp folder.
QString layerFilePath(const Session &session, int drawing);

} // namespace qel
