#pragma once

#include <QDate>
#include <QString>

namespace qel {

// A date in the system's short date form with a four-digit year ("3/15/2024", "15 Mar 2024");
// "" for a date that is not set. Files written for other programs and reports use it.
QString shortDateText(const QDate &date);

} // namespace qel
