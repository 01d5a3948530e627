#include "core/errors.h"
#include "core/transport_rules.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;
using qel::test::TestSession;

namespace {

double &field(Session &session, int index)
{
    return session.model.*transportParameter(index).field;
}

} // namespace

// A refused value warns and keeps the stored value; an accepted one is stored at once, silently.
TEST(TransportRules, EachValueIsRefusedWithItsWarningOrStored)
{
    const struct {
        int index;
        const char *text;
        const char *warning; // nullptr: accepted as value
        double value = 0;
    } cases[] = {
        { 0, "0", "Hydraulic conductivity must not be <= 0!" }, { 1, "0", "Effective porosity must not be <= 0!" },
        { 1, "1.2", "Effective porosity must not be > 1!" },
        { 2, "-0.1", "Longitudinal dispersivity must not be < 0!" },
        { 3, "-1 m", "Transverse dispersivity must not be < 0!" }, { 4, "0.5", "Retardation factor must not be < 1!" },
        { 5, "-2", "Solute half-life must not be < 0!" }, { 6, "0", "Simulation time must not be <= 0!" },
        { 7, "-5", "Source width must not be <= 0!" }, { 8, "0 mg/L", "Source concentration must not be <= 0!" },
        { 0, " 2.5e-3 m/d", nullptr, 0.0025 }, { 1, "1", nullptr, 1 }, { 2, "0", nullptr, 0 }, { 3, "0", nullptr, 0 },
        { 4, "1", nullptr, 1 }, { 5, "0", nullptr, 0 }, { 6, "   ", nullptr, 0.375 }, // an empty box stores nothing
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        TestSession ts;
        Session &s = *ts.session;
        field(s, c.index) = 0.375;
        EXPECT_EQ(validateTransportParameter(s, c.index, QString::fromUtf8(c.text)), !c.warning);
        EXPECT_DOUBLE_EQ(field(s, c.index), c.warning ? 0.375 : c.value);
        EXPECT_EQ(ts.frontend.boxes.size(), c.warning ? 1u : 0u); // no box but the warning
        const QStringList warning = { QString::fromUtf8(c.warning) };
        EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning), c.warning ? warning : QStringList());
    }
}

TEST(TransportRules, OverflowStoresNothing)
{
    TestSession ts;
    Session &s = *ts.session;
    s.model.K = 9.5;
    EXPECT_THROW(validateTransportParameter(s, 0, QStringLiteral("1e999")), QelError);
    EXPECT_EQ(s.model.K, 9.5);
}
