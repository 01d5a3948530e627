#include "core/help_topics.h"
#include "gui/dialogs/transport_dialog.h"
#include "support/test_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace qel;
using qel::gui::TransportDialog;
using qel::test::TestSession;

namespace {

struct TransportDialogTest : ::testing::Test {
    TestSession ts;
    QPointer<TransportDialog> dialog;

    void SetUp() override
    {
        ts.session->model.DistUnits = QStringLiteral("m");
        ts.session->model.TimeUnits = QStringLiteral("d");
        ts.session->model.ConcUnits = QStringLiteral("mg/L");
    }
    void TearDown() override { delete dialog.data(); }

    void open()
    {
        dialog = new TransportDialog(*ts.session);
        dialog->show();
        QApplication::setActiveWindow(dialog);
        QCoreApplication::processEvents();
    }
    template<typename W> W *child(const QString &name)
    {
        auto *w = dialog->findChild<W *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit *box(int i) { return child<QLineEdit>(QStringLiteral("txtParameter%1").arg(i)); }
    QLabel *label(int i) { return child<QLabel>(QStringLiteral("lblParameter%1").arg(i)); }
    QLabel *unit(int i) { return child<QLabel>(QStringLiteral("lblParameterUnit%1").arg(i)); }
    QCheckBox *decay() { return child<QCheckBox>(QStringLiteral("chkDecay")); }
    QPushButton *button(const char *name) { return child<QPushButton>(QString::fromLatin1(name)); }

    // Focus into the box, replace its text by typing, as a person would.
    void type(int i, const QString &text)
    {
        QLineEdit *edit = box(i);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(edit, &erase);
        for (QChar ch : text) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(edit, &key);
        }
    }
    // Tab on to another control of the dialog and let the focus settle.
    void leave()
    {
        decay()->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    static bool looksRefused(const QLineEdit *edit)
    {
        const QColor text = edit->palette().color(QPalette::Text);
        return edit->font().bold() && text.red() > 150 && text.green() < 90 && text.blue() < 90;
    }
    QStringList warnings() const { return ts.frontend.boxTexts(MsgIcon::Warning); }
};

} // namespace

TEST_F(TransportDialogTest, LayoutAndUnitLabels)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Transport Model Input Data"));
    const char *labels[]
        = { "Hydraulic conductivity", "Effective porosity", "Longitudinal dispersivity", "Transverse dispersivity",
              "Retardation factor", "Solute half-life", "Simulation time", "Source width", "Source concentration" };
    const char *units[] = { "m/d", "", "m", "m", "", "d", "d", "m", "mg/L" };
    for (int i = 0; i < NumTransportParameters; ++i) {
        EXPECT_EQ(label(i)->text().toStdString(), labels[i]);
        EXPECT_EQ(unit(i)->text().toStdString(), units[i]);
        EXPECT_EQ(box(i)->text(), QString()) << i; // step not done: nothing shown
    }
    EXPECT_EQ(decay()->text(), QStringLiteral("Simulate first-order decay"));
    EXPECT_FALSE(decay()->isChecked());
    EXPECT_FALSE(box(HalfLifeIndex)->isEnabled());
    EXPECT_FALSE(label(HalfLifeIndex)->isEnabled());
    EXPECT_EQ(ts.session->FormTag, QStringLiteral("TransData"));
}

TEST_F(TransportDialogTest, OpeningADoneStepShowsStoredValues)
{
    ProjectModel &m = ts.session->model;
    m.TDDone = true;
    m.K = 2.5;
    m.Porosity = 0.3;
    m.RetFactor = 1;
    m.HalfLife = 365;
    m.C0 = 0.00001;
    open();
    EXPECT_EQ(box(0)->text(), QStringLiteral("2.5"));
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.3"));
    EXPECT_EQ(box(2)->text(), QStringLiteral("0"));
    EXPECT_EQ(box(8)->text(), QStringLiteral("1E-05"));
    EXPECT_EQ(box(HalfLifeIndex)->text(), QString()); // no decay: half-life hidden
}

TEST_F(TransportDialogTest, EachRefusalWarnsMarksAndKeepsTheFocus)
{
    const struct {
        int index;
        const char *text;
        const char *warning;
    } cases[] = {
        { 0, "0", "Hydraulic conductivity must not be <= 0!" },
        { 1, "1.2", "Effective porosity must not be > 1!" },
        { 1, "0", "Effective porosity must not be <= 0!" },
        { 2, "-1", "Longitudinal dispersivity must not be < 0!" },
        { 3, "-0.5", "Transverse dispersivity must not be < 0!" },
        { 4, "0.5", "Retardation factor must not be < 1!" },
        { 5, "-10", "Solute half-life must not be < 0!" },
        { 6, "0", "Simulation time must not be <= 0!" },
        { 7, "-2", "Source width must not be <= 0!" },
        { 8, "none", "Source concentration must not be <= 0!" },
    };
    ts.session->model.Decay = true;
    open();
    for (const auto &c : cases) {
        double &stored = ts.session->model.*transportParameter(c.index).field;
        stored = 0.25;
        ts.frontend.boxes.clear();
        type(c.index, QString::fromUtf8(c.text));
        leave();
        EXPECT_EQ(warnings(), QStringList { QString::fromUtf8(c.warning) }) << c.text;
        EXPECT_EQ(stored, 0.25) << c.text;
        EXPECT_TRUE(looksRefused(box(c.index))) << c.text;
        EXPECT_EQ(QApplication::focusWidget(), box(c.index)) << c.text;

        // Correcting the value stores it and restores the normal look.
        type(c.index, QStringLiteral("1"));
        EXPECT_FALSE(looksRefused(box(c.index)));
        leave();
        EXPECT_EQ(stored, 1) << c.text;
        EXPECT_FALSE(box(c.index)->font().bold());
        EXPECT_EQ(QApplication::focusWidget(), decay());
    }
}

TEST_F(TransportDialogTest, AcceptedAndEmptyBoxes)
{
    open();
    type(0, QStringLiteral(" 2.5e-3 m/d"));
    leave();
    EXPECT_DOUBLE_EQ(ts.session->model.K, 0.0025);
    type(2, QStringLiteral("0"));
    leave();
    EXPECT_EQ(ts.session->model.AlphaX, 0);
    ts.session->model.Porosity = 0.3;
    type(1, QString());
    leave();
    EXPECT_EQ(ts.session->model.Porosity, 0.3);
    EXPECT_TRUE(ts.frontend.boxes.empty());
}

TEST_F(TransportDialogTest, ReturnKeyChecksTheBox)
{
    open();
    type(4, QStringLiteral("0.9"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box(4), &enter);
    QCoreApplication::processEvents();
    EXPECT_EQ(warnings(), QStringList { QStringLiteral("Retardation factor must not be < 1!") });
    EXPECT_TRUE(looksRefused(box(4)));
    EXPECT_EQ(QApplication::focusWidget(), box(4));
}

TEST_F(TransportDialogTest, DecayUntickAndRetickRestoresTheHalfLife)
{
    ProjectModel &m = ts.session->model;
    m.TDDone = true;
    m.Decay = true;
    m.HalfLife = 12.5;
    open();
    EXPECT_TRUE(decay()->isChecked());
    EXPECT_TRUE(box(HalfLifeIndex)->isEnabled());
    EXPECT_EQ(box(HalfLifeIndex)->text(), QStringLiteral("12.5"));

    decay()->click();
    EXPECT_FALSE(m.Decay);
    EXPECT_EQ(m.HalfLife, 12.5);
    EXPECT_EQ(box(HalfLifeIndex)->text(), QString());
    EXPECT_FALSE(box(HalfLifeIndex)->isEnabled());
    EXPECT_FALSE(label(HalfLifeIndex)->isEnabled());

    decay()->click();
    EXPECT_TRUE(m.Decay);
    EXPECT_EQ(box(HalfLifeIndex)->text(), QStringLiteral("12.5"));
    EXPECT_TRUE(box(HalfLifeIndex)->isEnabled());
    EXPECT_TRUE(label(HalfLifeIndex)->isEnabled());
}

TEST_F(TransportDialogTest, CloseMarksTheStepDone)
{
    open();
    ts.session->setStatus(QStringLiteral("working"));
    button("cmdClose")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(ts.session->model.TDDone);
    EXPECT_EQ(ts.session->outline.state(QStringLiteral("Model data")), CheckState::All);
    EXPECT_TRUE(ts.readLog().endsWith(QStringLiteral("TransData: [Close]\r\n")));
    EXPECT_EQ(ts.frontend.panelStatus, QString());
}

TEST_F(TransportDialogTest, CloseIsRefusedWhileABoxHoldsARefusedValue)
{
    open();
    // Clicking Close moves the focus first: the box is checked and refused once.
    type(6, QStringLiteral("0"));
    button("cmdClose")->setFocus(Qt::MouseFocusReason);
    button("cmdClose")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_FALSE(ts.session->model.TDDone);
    EXPECT_EQ(QApplication::focusWidget(), box(6));

    // Close by shortcut, the focus still in a box with an unchecked bad value.
    type(6, QStringLiteral("-4"));
    button("cmdClose")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(warnings().size(), 2);
    EXPECT_FALSE(ts.session->model.TDDone);

    type(6, QStringLiteral("3650"));
    button("cmdClose")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(ts.session->model.Time, 3650);
    EXPECT_TRUE(ts.session->model.TDDone);
}

TEST_F(TransportDialogTest, HelpAndPrint)
{
    open();
    int topic = 0;
    dialog->setHelpHook([&](int context) { topic = context; });
    button("cmdHelp")->click();
    EXPECT_EQ(topic, HelpTopic::TransportData);
    dialog->printForm();
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Information),
        QStringList { QStringLiteral("QEL: You can only print document or chart window at this time.") });
}
