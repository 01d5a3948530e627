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

    void TearDown() override { delete dialog.data(); }
    void open()
    {
        ts.session->model.DistUnits = QStringLiteral("m");
        ts.session->model.TimeUnits = QStringLiteral("d");
        ts.session->model.ConcUnits = QStringLiteral("mg/L");
        dialog = new TransportDialog(*ts.session);
        dialog->show();
        QApplication::setActiveWindow(dialog);
    }
    template<typename W> W *child(const QString &name)
    {
        auto *w = dialog->findChild<W *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit *box(int i) { return child<QLineEdit>(QStringLiteral("txtParameter%1").arg(i)); }
    QCheckBox *decay() { return child<QCheckBox>(QStringLiteral("chkDecay")); }
    void clickClose()
    {
        child<QPushButton>(QStringLiteral("cmdClose"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Focus into the box and replace its text by typing.
    void type(int i, const QString &text)
    {
        box(i)->setFocus(Qt::TabFocusReason);
        box(i)->selectAll();
        QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(box(i), &erase);
        for (QChar ch : text) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(box(i), &key);
        }
    }
    // Tab on to another control and let the focus settle.
    void leave()
    {
        decay()->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    static bool looksRefused(const QLineEdit *edit)
    {
        const QColor text = edit->palette().color(QPalette::Text);
        return edit->font().bold() && text.red() > 150 && text.green() < 90;
    }
};

} // namespace

TEST_F(TransportDialogTest, RefusalWarnsMarksAndKeepsTheFocus)
{
    const struct {
        int index;
        const char *text;
        const char *warning;
    } cases[] = {
        { 0, "0", "Hydraulic conductivity must not be <= 0!" },
        { 1, "1.2", "Effective porosity must not be > 1!" },
        { 5, "-10", "Solute half-life must not be < 0!" },
    };
    ts.session->model.Decay = true;
    open();
    for (const auto &c : cases) {
        double &stored = ts.session->model.*transportParameter(c.index).field;
        stored = 0.25;
        ts.frontend.boxes.clear();
        type(c.index, QString::fromUtf8(c.text));
        leave();
        EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning), QStringList { QString::fromUtf8(c.warning) });
        EXPECT_EQ(stored, 0.25) << c.text;
        EXPECT_TRUE(looksRefused(box(c.index))) << c.text;
        EXPECT_EQ(QApplication::focusWidget(), box(c.index)) << c.text;

        type(c.index, QStringLiteral("1"));
        leave();
        EXPECT_EQ(stored, 1) << c.text;
        EXPECT_FALSE(looksRefused(box(c.index))) << c.text;
        EXPECT_EQ(QApplication::focusWidget(), decay());
    }
}

// The texts come from the core rules; here that they reach the boxes and the enabled states.
TEST_F(TransportDialogTest, OpeningAndDecayUntickRetick)
{
    ProjectModel &m = ts.session->model;
    m.TDDone = m.Decay = true;
    m.K = 2.5;
    m.HalfLife = 12.5;
    open();
    EXPECT_EQ(box(0)->text(), QStringLiteral("2.5"));
    EXPECT_EQ(child<QLabel>(QStringLiteral("lblParameterUnit0"))->text(), QStringLiteral("m/d"));
    QLabel *halfLifeLabel = child<QLabel>(QStringLiteral("lblParameter5"));
    for (const bool ticked : { false, true }) {
        decay()->click();
        EXPECT_EQ(m.Decay, ticked);
        EXPECT_EQ(box(HalfLifeIndex)->text(), ticked ? QStringLiteral("12.5") : QString());
        EXPECT_EQ(box(HalfLifeIndex)->isEnabled(), ticked);
        EXPECT_EQ(halfLifeLabel->isEnabled(), ticked);
    }
}

TEST_F(TransportDialogTest, CloseWaitsForRefusedValuesThenMarksTheStepDone)
{
    open();
    int topic = 0;
    dialog->setHelpHook([&](int context) { topic = context; });
    child<QPushButton>(QStringLiteral("cmdHelp"))->click();
    EXPECT_EQ(topic, HelpTopic::TransportData);

    // The focus still in a box with an unchecked bad value, as after a keyboard shortcut.
    type(6, QStringLiteral("-4"));
    clickClose();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning).size(), 1);
    // Closing again does not repeat the warning, and still waits.
    clickClose();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning).size(), 1);
    EXPECT_FALSE(ts.session->model.TDDone);

    type(6, QStringLiteral("3650"));
    ts.session->setStatus(QStringLiteral("working"));
    clickClose();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(ts.session->model.Time, 3650);
    EXPECT_TRUE(ts.session->model.TDDone);
    EXPECT_EQ(ts.session->outline.state(Step::ModelData), CheckState::All);
    EXPECT_TRUE(ts.readLog().endsWith(QStringLiteral("TransData: [Close]\r\n")));
    EXPECT_EQ(ts.frontend.panelStatus, QString());
}
