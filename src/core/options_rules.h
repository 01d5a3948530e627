#pragma once

#include "core/session.h"

#include <QString>

namespace qel {

// The coordinate rounding step as typed in the options dialog. The leading number of the text
// becomes RoundXY when it is positive; zero or a negative value (text without a number counts
// as zero) is refused with a warning and RoundXY keeps its value. Returns whether it was taken.
bool acceptRoundXY(Session &session, const QString &text);

} // namespace qel
