#include "input/import_wizard.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

// The import commands offer a project file only to a project without one, and open the wizard
// whatever the answer.
TEST(ImportWizardCommand, OffersAProjectFileFirstWhenThereIsNone)
{
    const struct {
        bool assigned;
        std::optional<MsgAnswer> answer;
    } cases[] = { { true, {} }, { false, MsgAnswer::Cancel } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.assigned);
        TestSession t;
        Session &s = *t.session;
        s.model.ProjectDirAssigned = c.assigned;
        if (c.answer)
            t.frontend.answers = { *c.answer };
        beforeImportWizard(s);
        ASSERT_EQ(t.frontend.boxes.size(), c.assigned ? 0u : 1u);
        if (!c.assigned) {
            EXPECT_EQ(std::tuple(t.frontend.boxes[0].title, s.UserCancelled),
                std::tuple(QStringLiteral("Assign Project File"), true));
        }

        // The wizard then works on the project's folder.
        ImportWizard wizard(wellsWizardKind());
        s.model.WEDataPath = QStringLiteral("old/");
        loadImportWizard(s, wizard);
        EXPECT_EQ(s.model.WEDataPath, c.assigned ? QStringLiteral("old/") : s.model.ProjectDir);
    }
}

// Sample dates typed as text, in the system's short form (here given) or ISO.
TEST(SampleDateText, ShortFormsAndIso)
{
    const struct {
        const char *text, *format;
        QDate date; // invalid: not a date
    } cases[] = {
        { "3/15/2023", "M/d/yy", QDate(2023, 3, 15) },
        { "3/15/23", "M/d/yy", QDate(2023, 3, 15) },
        { "12/31/29", "M/d/yy", QDate(2029, 12, 31) }, // 00..29 are 2000..2029
        { "1/1/30", "M/d/yy", QDate(1930, 1, 1) },
        { "2/29/00", "M/d/yy", QDate(2000, 2, 29) },
        { "15.03.23", "dd.MM.yy", QDate(2023, 3, 15) },
        { "5/3/2023", "dd/MM/yyyy", QDate(2023, 3, 5) },
        { "15 Mar 2023", "d MMM yyyy", QDate(2023, 3, 15) },
        { " 2023-03-15 ", "M/d/yy", QDate(2023, 3, 15) },
        { "2023/03/15", "dd.MM.yy", QDate(2023, 3, 15) },
        { "15/3/2023", "M/d/yy", {} },
        { "2/30/2023", "M/d/yy", {} },
        { "3/15", "M/d/yy", {} },
        { "3/15/123", "M/d/yy", {} },
    };
    for (const auto &c : cases)
        EXPECT_EQ(dateFromText(QString::fromLatin1(c.text), QLatin1String(c.format)).value_or(QDate()), c.date)
            << c.text << " as " << c.format;
    EXPECT_EQ(std::tuple(cellReference(0, 0), cellReference(9, 27)),
        std::tuple(QStringLiteral("A2"), QStringLiteral("AB11")));
}
