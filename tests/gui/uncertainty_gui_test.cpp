#include "gui/common/refused_box.h"
#include "gui/dialogs/transport_dialog.h"
#include "gui/gui_input.h"
#include "gui/views/direction_rose.h"
#include "gui/views/regression_results_window.h"
#include "gui/workbench_fixture.h"
#include "input/water_level_reader.h"
#include "support/test_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

struct UncertaintyGuiTest : ::testing::Test {
    TestSession ts;
    ProjectModel &m = ts.session->model;
    QPointer<gui::ChildForm> window;

    UncertaintyGuiTest() { ts.makeProjectFolder(); }
    void TearDown() override { delete window.data(); }

    template<typename W> W *open()
    {
        auto *opened = new W(*ts.session);
        window = opened;
        opened->show();
        QApplication::setActiveWindow(opened);
        return opened;
    }
    template<typename W> W *child(const QString &name) const
    {
        W *w = window ? window->findChild<W *>(name) : nullptr;
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    void enter(const QString &name, const QString &text) const
    {
        showTabOf(child<QLineEdit>(name));
        retypeBox(child<QLineEdit>(name), text);
        leaveTo(child<QPushButton>(QStringLiteral("cmdHelp")));
    }
    void close() const
    {
        child<QPushButton>(QStringLiteral("cmdClose"))->click();
        settle();
    }
    QStringList warnings() const { return ts.frontend.boxTexts(MsgIcon::Warning); }
};

TEST_F(UncertaintyGuiTest, RangesAreCheckedStoredAndHoldTheDialogOpen)
{
    m.Uncertainty.ranges[1] = { Distribution::Triangular, 0.1, 0.2, 0.3 };
    open<gui::TransportDialog>();
    EXPECT_EQ(child<QComboBox>("cboDistribution1")->currentText(), "triangular");
    EXPECT_EQ(child<QLineEdit>("txtRangeMode1")->text(), "0.2");
    EXPECT_FALSE(child<QLineEdit>("txtRangeLow0")->isEnabled()) << "a fixed parameter has no bounds";

    m.ProjectChanged = false;
    child<QComboBox>("cboDistribution0")->setCurrentIndex(int(Distribution::LogUniform));
    EXPECT_FALSE(child<QLineEdit>("txtRangeMode0")->isEnabled());
    enter("txtRangeLow0", "0.5");
    EXPECT_TRUE(warnings().isEmpty()) << "a row is judged once it is filled";
    enter("txtRangeHigh0", "0.1");
    EXPECT_EQ(warnings(), QStringList { "Hydraulic conductivity LOW must be < HIGH!" });
    EXPECT_TRUE(gui::isRefused(child<QLineEdit>("txtRangeHigh0")));
    EXPECT_EQ(m.Uncertainty.ranges[0].kind, Distribution::Fixed);
    close();
    EXPECT_FALSE(window.isNull()) << "a refused range keeps the dialog open";

    enter("txtRangeHigh0", "20");
    EXPECT_EQ(m.Uncertainty.ranges[0], (ParameterRange { Distribution::LogUniform, 0.5, 0, 20 }));
    EXPECT_TRUE(m.ProjectChanged);

    // A row left incomplete is named at Close.
    ts.frontend.boxes.clear();
    child<QComboBox>("cboDistribution7")->setCurrentIndex(int(Distribution::Uniform));
    close();
    EXPECT_FALSE(window.isNull());
    EXPECT_EQ(warnings(), QStringList { "Source width LOW is missing!" });
    child<QComboBox>("cboDistribution7")->setCurrentIndex(int(Distribution::Fixed));

    child<QCheckBox>("chkGradientFitted")->setChecked(true);
    EXPECT_TRUE(m.Uncertainty.gradientFitted);
    close();
    EXPECT_TRUE(window.isNull());
}

TEST_F(UncertaintyGuiTest, TheResultsWindowShowsTheIntervalsWhenAsked)
{
    m.NumWLWells = 5;
    m.NumSamples = 2;
    m.SampleDate(1) = QDate(2024, 3, 15), m.SampleDate(2) = QDate(2024, 9, 1);
    const double xy[5][2] = { { 0, 0 }, { 100, 0 }, { 0, 100 }, { 100, 100 }, { 40, 70 } };
    for (int j = 1; j <= 5; ++j) {
        m.WLWellID(j) = QStringLiteral("W%1").arg(j);
        m.WLWellX(j) = xy[j - 1][0], m.WLWellY(j) = xy[j - 1][1];
        m.WLData(j, 1) = 10 - 0.01 * xy[j - 1][1] + 0.002 * (j % 2);
        m.WLData(j, 2) = j <= 3 ? 10 + 0.01 * xy[j - 1][0] : MissingLevel;
    }
    m.RGDone = true;
    open<gui::RegressionResultsWindow>();
    auto *table = child<QTableWidget>("MSFlexGrid1");
    auto *rose = child<gui::DirectionRose>("DirectionRose");
    EXPECT_EQ(table->columnCount(), 7) << "off until asked";
    EXPECT_FALSE(rose->isVisible());

    child<QCheckBox>("chkIntervals")->setChecked(true);
    ASSERT_EQ(table->columnCount(), 9);
    EXPECT_EQ(table->horizontalHeaderItem(7)->text(), QStringLiteral("\u00b1 magnitude"));
    EXPECT_EQ(table->horizontalHeaderItem(8)->text(), "Direction 95 %");
    EXPECT_FALSE(table->item(0, 7)->text().isEmpty());
    EXPECT_TRUE(table->item(0, 8)->text().contains(" to ")) << table->item(0, 8)->text().toStdString();
    EXPECT_EQ(table->item(1, 7)->text(), "n/a") << "three wells: no interval";
    EXPECT_FALSE(table->item(1, 7)->toolTip().isEmpty());
    EXPECT_TRUE(rose->isVisible());
    ASSERT_EQ(rose->spokes().size(), 2u);
    EXPECT_TRUE(rose->spokes()[0].low.has_value());
    EXPECT_FALSE(rose->spokes()[1].low.has_value());
    EXPECT_NEAR(rose->spokes()[1].direction, -90, 1e-9) << "levels rising east: flow due west";
    EXPECT_FALSE(rose->grab().isNull()) << "the rose paints its spokes and arcs";

    child<QCheckBox>("chkIntervals")->setChecked(false);
    EXPECT_EQ(table->columnCount(), 7);
    EXPECT_FALSE(rose->isVisible());
}

} // namespace
} // namespace qel::test
