#include "core/startup.h"
#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

using namespace qel;
using namespace qel::test;

namespace {

class NewUserScenario : public WorkbenchTest {
protected:
    template<typename T> T *control(const char *name)
    {
        // The active dialog's controls: a closed one lingers until its deferred delete.
        gui::ChildForm *form = window->activeChildForm();
        T *found = form ? form->findChild<T *>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void choose(const char *box, const char *text)
    {
        auto *combo = control<QComboBox>(box);
        combo->setCurrentIndex(combo->findText(QString::fromLatin1(text)));
    }
    void type(int parameter, const char *text)
    {
        auto *box = control<QLineEdit>(qPrintable(QStringLiteral("txtParameter%1").arg(parameter)));
        box->setText(QString::fromLatin1(text));
        Q_EMIT box->returnPressed();
    }
    void restartWorkbench()
    {
        window->close();
        frontend.window = nullptr;
        window.reset();
        terminateSession(*session);
        session = std::make_unique<Session>(frontend, dir.path());
        startUp(*session);
        makeWindow(gui::workbenchWindowFactories());
    }
};

} // namespace

TEST_F(NewUserScenario, UnitsAndTransportDataSurviveSavingQuittingAndReopening)
{
    makeWindow(gui::workbenchWindowFactories());
    window->command(QStringLiteral("mnuEditUnits"))->trigger();
    choose("cboDistUnits", "m");
    choose("cboTimeUnits", "d");
    choose("cboConcUnits", "ug/L");
    control<QPushButton>("cmdClose")->click();
    EXPECT_EQ(session->outline.state(QStringLiteral("Set units")), CheckState::All);

    window->command(QStringLiteral("mnuEditTransportData"))->trigger();
    const char *values[] = { "5", "0.3", "10", "1", "1.5", nullptr, "3650", "20", "1000" };
    for (int i = 0; i < 9; ++i)
        if (values[i])
            type(i, values[i]);
    control<QCheckBox>("chkDecay")->click();
    type(5, "730");
    control<QPushButton>("cmdClose")->click();
    EXPECT_TRUE(frontend.boxes.empty()) << frontend.boxes.front().text.toStdString();
    EXPECT_EQ(session->outline.state(QStringLiteral("Model data")), CheckState::All);

    const QString project = home() + QStringLiteral("Data/alpha.prj");
    frontend.queueFile(project);
    window->command(QStringLiteral("mnuFileSaveAs"))->trigger();
    ASSERT_TRUE(QFile::exists(project));
    EXPECT_FALSE(session->model.ProjectChanged);

    restartWorkbench();
    frontend.queueFile(project);
    window->command(QStringLiteral("mnuFileOpen"))->trigger();

    const ProjectModel &m = session->model;
    EXPECT_EQ(m.ProjectStatus, QStringLiteral("Read"));
    EXPECT_EQ(m.DistUnits, QStringLiteral("m"));
    EXPECT_EQ(m.ConcUnits, QStringLiteral("ug/L"));
    EXPECT_EQ(m.K, 5.0);
    EXPECT_EQ(m.Porosity, 0.3);
    EXPECT_TRUE(m.Decay);
    EXPECT_EQ(m.HalfLife, 730.0);
    EXPECT_EQ(m.C0, 1000.0);
    EXPECT_EQ(session->outline.state(QStringLiteral("Set units")), CheckState::All);
    EXPECT_EQ(session->outline.state(QStringLiteral("Model data")), CheckState::All);
    EXPECT_EQ(session->outline.state(QStringLiteral("Well locations")), CheckState::None);
    EXPECT_TRUE(frontend.boxes.empty());
}

TEST_F(NewUserScenario, MapStepsSayWhatIsMissing)
{
    makeWindow(gui::workbenchWindowFactories());
    const struct {
        bool unitsSet;
        const char *step, *title, *text;
    } cases[] = {
        { false, "Map scale", "Need units", "Set units first." },
        { true, "Map scale", "Need basemap.", "Open basemap first." },
        { true, "Plot limits", "Need basemap.", "Base map is not properly opened. Please check and try again." },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        session->model.UNDone = c.unitsSet;
        frontend.boxes.clear();
        window->runOutlineStep(QString::fromLatin1(c.step));
        ASSERT_EQ(frontend.boxes.size(), 1u);
        EXPECT_EQ(frontend.boxes[0].title, QString::fromLatin1(c.title));
        EXPECT_EQ(frontend.boxes[0].text, QString::fromLatin1(c.text));
        EXPECT_EQ(frontend.boxes[0].icon, MsgIcon::Information);
    }
}
