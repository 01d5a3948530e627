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
        fileBoxFocused(wizard);
        EXPECT_EQ(wizard.hint, FileBoxHint);
    }
}
