#include "core/options_rules.h"

#include "core/number_text.h"
#include "core/reporting.h"

namespace qel {

bool acceptRoundXY(Session &session, const QString &text)
{
    const double value = leadingNumber(text);
    if (value <= 0) {
        session.ErrorText
            = QStringLiteral("Distance rounding: Negative or zero value ") + text + QStringLiteral(" invalid.");
        ReportWarning(session);
        return false;
    }
    session.store(session.model.RoundXY, value);
    return true;
}

} // namespace qel
