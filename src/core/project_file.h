#pragma once

#include "core/session.h"

namespace qel {

// Writes ProjectFile from the model, atomically: a failed save leaves the old file whole.
// Reports its own failures under "SaveProjectFile" and returns whether the file was written.
bool SaveProjectFile(Session &session);
// The bytes SaveProjectFile writes for the model as it is.
QByteArray projectFileBytes(const Session &session);

// Reads ProjectFile into the cleared model and replays the completed steps through
// session.replay(). Reports its own failures; returns whether the whole file was read.
bool ReadProjectFile(Session &session);

} // namespace qel
