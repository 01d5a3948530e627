#include "gui/map/map_window.h"
#include "gui/workbench/layer_window.h"
#include "gui/workbench/message_window.h"
#include "gui/workbench/outline_window.h"
#include "gui/workbench_fixture.h"
#include "support/test_session.h"

#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>

#include <gtest/gtest.h>

// Sends a key press the way QTest does, so that the shortcut map sees it before the widget.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
    const QString &text = QString(), bool autorep = false, ushort count = 1);

namespace qel::test {
namespace {

QMdiSubWindow *frameOf(QWidget *form)
{
    return form ? qobject_cast<QMdiSubWindow *>(form->parentWidget()) : nullptr;
}

class WindowLayoutTest : public WorkbenchTest {
protected:
    QRect area() const { return window->mdiArea()->viewport()->rect(); }
    QMdiSubWindow *mapFrame() const { return frameOf(gui::findMapWindow(*window)); }
    // The Window menu's entries for the open windows: caption and checked.
    std::vector<std::pair<QString, bool>> windowList() const
    {
        settle();
        std::vector<std::pair<QString, bool>> list;
        for (QAction *action : window->findChild<QMenu *>(QStringLiteral("mnuWindow"))->actions())
            if (action->objectName().startsWith(QLatin1String("mnuWindowList")))
                list.emplace_back(action->text(), action->isChecked());
        return list;
    }
    QAction *windowListEntry(int number) const
    {
        return window->findChild<QAction *>(QStringLiteral("mnuWindowList%1").arg(number));
    }
    FakeForm *openDialog(const QString &name)
    {
        auto *dialog = new FakeForm(*session, name, 0);
        window->showChild(dialog);
        settle();
        return dialog;
    }
    QString textFile(const QString &name)
    {
        const QString path = home() + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("text of " + name.toUtf8() + "\r\n");
        return path;
    }
};

TEST_F(WindowLayoutTest, TheToolWindowsStayInsideTheAreaAtEverySize)
{
    makeWorkbench();
    const QSize smallest = window->minimumSize();
    ASSERT_GE(smallest.width(), 500);
    ASSERT_GE(smallest.height(), 400);
    const QSize sizes[] = { { 1400, 1000 }, { 1000, 700 }, smallest + QSize(60, 40), smallest, { 200, 150 },
        { 1200, 450 }, { 620, 900 }, { 1000, 700 } };
    for (const QSize &size : sizes) {
        window->resize(size);
        settle();
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        EXPECT_GE(window->width(), smallest.width()) << "never below the minimum";
        for (QWidget *tool : std::initializer_list<QWidget *> {
                 window->outlineWindow(), window->layerWindow(), window->messageWindow() }) {
            QMdiSubWindow *frame = frameOf(tool);
            ASSERT_NE(frame, nullptr);
            SCOPED_TRACE(tool->objectName().toStdString());
            EXPECT_TRUE(frame->isVisible());
            EXPECT_GE(frame->height(), 60);
            EXPECT_GE(frame->width(), 100);
            EXPECT_TRUE(area().contains(frame->geometry()))
                << frame->x() << "," << frame->y() << " " << frame->width() << "x" << frame->height() << " in "
                << area().width() << "x" << area().height();
        }
        EXPECT_FALSE(
            frameOf(window->layerWindow())->geometry().intersects(frameOf(window->outlineWindow())->geometry()));
    }
}

TEST_F(WindowLayoutTest, TheOutlineLeftByThePersonStaysAndTheLayersGoBelowIt)
{
    makeWorkbench();
    QMdiSubWindow *outline = frameOf(window->outlineWindow());
    outline->setGeometry(QRect(10, 0, outline->width(), 180));
    window->resize(window->size() + QSize(0, 50));
    settle();
    EXPECT_EQ(outline->geometry(), QRect(10, 0, outline->width(), 180)) << "where the person left it";
    EXPECT_EQ(frameOf(window->layerWindow())->y(), 180);
    window->resize(window->minimumSize());
    settle();
    EXPECT_TRUE(area().contains(outline->geometry()));
    EXPECT_TRUE(area().contains(frameOf(window->layerWindow())->geometry()));
}

TEST_F(WindowLayoutTest, TheMapFollowsTheAreaWhenMaximisedAndRestored)
{
    makeWorkbench();
    frontend.mapWindows = true;
    frontend.showMapWindow();
    settle();
    ASSERT_NE(mapFrame(), nullptr);
    const QRect normal = mapFrame()->geometry();
    EXPECT_EQ(normal, window->freeArea());
    EXPECT_GT(normal.left(), frameOf(window->outlineWindow())->geometry().right()) << "beside the outline";
    EXPECT_LT(normal.bottom(), frameOf(window->messageWindow())->y()) << "above the message window";

    window->showMaximized();
    settle();
    ASSERT_TRUE(window->isMaximized());
    EXPECT_EQ(mapFrame()->geometry(), window->freeArea());
    EXPECT_GT(mapFrame()->width(), normal.width());
    EXPECT_EQ(frameOf(window->messageWindow())->geometry().bottomRight(), area().bottomRight());

    window->showNormal();
    settle();
    EXPECT_EQ(mapFrame()->geometry(), normal);

    // Once the person sizes the map, it keeps that size.
    mapFrame()->setGeometry(QRect(300, 10, 320, 240));
    window->showMaximized();
    settle();
    EXPECT_EQ(mapFrame()->geometry(), QRect(300, 10, 320, 240));
}

TEST_F(WindowLayoutTest, TheNextStartComesBackMaximisedWithTheNormalFrameBehind)
{
    makeWindow();
    const gui::WindowPlacement normal { 1500, 1200, 9600, 8400 };
    window->setPlacement(normal);
    window->showMaximized();
    settle();
    ASSERT_TRUE(window->isMaximized());
    ASSERT_TRUE(window->close());
    settings->sync();
    EXPECT_EQ(settings->value("Settings/MainState").toInt(), 2);
    EXPECT_EQ(settings->value("Settings/MainLeft").toInt(), 1500);
    EXPECT_EQ(settings->value("Settings/MainWidth").toInt(), 9600);

    makeWindow();
    EXPECT_TRUE(window->isMaximized());
    window->showNormal();
    settle();
    const gui::WindowPlacement restored = window->placement();
    EXPECT_EQ(std::tie(restored.left, restored.top, restored.width, restored.height),
        std::tie(normal.left, normal.top, normal.width, normal.height));

    ASSERT_TRUE(window->close());
    makeWindow();
    EXPECT_FALSE(window->isMaximized()) << "closed normal, opens normal";
    EXPECT_EQ(settings->value("Settings/MainState").toInt(), 0);
}

TEST_F(WindowLayoutTest, AStoredPlacementOffTheScreenComesBackOnIt)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char *name;
        int left, top;
    } cases[] = { { "far right and down", 200000, 150000 }, { "left and above", -20000, -9000 } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        settings->setValue("Settings/MainLeft", c.left);
        settings->setValue("Settings/MainTop", c.top);
        settings->setValue("Settings/MainWidth", 9000);
        settings->setValue("Settings/MainHeight", 7500);
        makeWindow();
        EXPECT_TRUE(screen.contains(window->pos())) << window->x() << "," << window->y();
        EXPECT_TRUE(screen.contains(QRect(window->pos(), window->size())));
    }
}

TEST_F(WindowLayoutTest, TheRegressionOutputsOpenInsideTheArea)
{
    const QSize sizes[] = { { 1000, 700 }, { 0, 0 } }; // 0: the smallest main window
    for (const QSize &size : sizes) {
        makeWorkbench();
        window->resize(size.isEmpty() ? window->minimumSize() : size);
        settle();
        SCOPED_TRACE(testing::Message() << window->width() << " x " << window->height());
        std::vector<QRect> placed;
        for (const char *name : { "final.out", "regress.out", "results.out" }) {
            window->showTextFile(textFile(QString::fromLatin1(name)),
                QStringLiteral("Regression output file: ") + QString::fromLatin1(name));
            settle();
            QMdiSubWindow *frame = window->mdiArea()->currentSubWindow();
            ASSERT_NE(frame, nullptr);
            EXPECT_TRUE(area().contains(frame->geometry())) << name;
            for (const QRect &before : placed)
                EXPECT_NE(frame->pos(), before.topLeft()) << name << ": every title bar in view";
            placed.push_back(frame->geometry());
        }
        const QRect visible = window->visibleArea();
        EXPECT_EQ(placed[0].left(), std::min(window->freeArea().left(), visible.right() + 1 - placed[0].width()))
            << "from the free area's corner, pushed left only as far as it has to";
    }
}

TEST_F(WindowLayoutTest, ManyDocumentsWrapAroundInsideTheArea)
{
    makeWorkbench();
    const QString path = textFile(QStringLiteral("notes.txt"));
    for (int i = 1; i <= 30; ++i) {
        window->showTextFile(path, QStringLiteral("Notes %1").arg(i));
        settle();
        ASSERT_TRUE(area().contains(window->mdiArea()->currentSubWindow()->geometry())) << i;
    }
}

TEST_F(WindowLayoutTest, TheWindowMenuListsTheOpenWindowsAndActivatesOne)
{
    makeWorkbench();
    for (const char *entry : { "mnuWindowCascade", "mnuWindowTile", "mnuWindowTileHorizontal", "mnuWindowTileVertical",
             "mnuWindowArrangeIcons", "mnuWindowClose" })
        EXPECT_TRUE(window->command(QString::fromLatin1(entry))->isEnabled()) << entry;
    const auto tools = windowList();
    ASSERT_EQ(tools.size(), 3u) << "outline, layers and messages";

    FakeForm *first = openDialog(QStringLiteral("frmFirst"));
    FakeForm *second = openDialog(QStringLiteral("frmSecond"));
    auto list = windowList();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[3], std::make_pair(QStringLiteral("&4 frmFirst"), false));
    EXPECT_EQ(list[4], std::make_pair(QStringLiteral("&5 frmSecond"), true)) << "the active one checked";

    windowListEntry(4)->trigger();
    settle();
    EXPECT_EQ(window->activeChildForm(), first);
    list = windowList();
    EXPECT_TRUE(list[3].second);
    EXPECT_FALSE(list[4].second);

    second->setWindowTitle(QStringLiteral("Fish & Chips"));
    EXPECT_EQ(windowList()[4].first, QStringLiteral("&5 Fish && Chips")) << "a new title shows";

    frameOf(first)->showMinimized();
    windowListEntry(4)->trigger();
    settle();
    EXPECT_FALSE(frameOf(first)->isMinimized()) << "a minimised window comes back";

    first->closeForm();
    list = windowList();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[3].first, QStringLiteral("&4 Fish && Chips"));
}

TEST_F(WindowLayoutTest, CtrlF4ClosesTheActiveWindowButNotTheOutline)
{
    makeWorkbench();
    QPointer<FakeForm> dialog = openDialog(QStringLiteral("frmFirst"));
    QPointer<FakeForm> other = openDialog(QStringLiteral("frmSecond"));
    const auto ctrlF4 = [this] {
        QWidget *to = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        qt_sendShortcutOverrideEvent(to, 0, Qt::Key_F4, Qt::ControlModifier);
        settle();
    };
    other->findChild<QWidget *>(QStringLiteral("txtField"))->setFocus();
    ctrlF4();
    EXPECT_TRUE(other.isNull()) << "the active one";
    ASSERT_FALSE(dialog.isNull());

    window->mdiArea()->setActiveSubWindow(frameOf(dialog));
    window->command(QStringLiteral("mnuWindowClose"))->trigger();
    settle();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(newLogLines().contains(QStringLiteral("Window > Close Window")));

    window->mdiArea()->setActiveSubWindow(frameOf(window->outlineWindow()));
    ctrlF4();
    EXPECT_NE(window->outlineWindow(), nullptr);
    EXPECT_TRUE(frameOf(window->outlineWindow())->isVisible());
}

TEST_F(WindowLayoutTest, AMovedDialogReopensWhereItWasLeft)
{
    makeWorkbench();
    const struct {
        const char *name;
        QPoint movedTo; // null: not moved
        bool onScreen; // where it was left is inside the area
    } cases[] = {
        { "not moved: centred", QPoint(), true },
        { "moved", QPoint(12, 34), true },
        { "moved past the area's corner", QPoint(5000, 4000), false },
        { "moved above and left", QPoint(-900, -700), false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        gui::ChildForm *units = openFrom<gui::ChildForm>(QStringLiteral("mnuEditUnits"));
        ASSERT_NE(units, nullptr);
        QMdiSubWindow *frame = frameOf(units);
        const QRect centred(
            QPoint((area().width() - frame->width()) / 2, (area().height() - frame->height()) / 2), frame->size());
        if (!c.movedTo.isNull())
            frame->move(c.movedTo);
        const QPoint left = frame->pos();
        units->closeForm();
        settle();
        ASSERT_EQ(window->findChildForm(QStringLiteral("frmUnits")), nullptr);

        units = openFrom<gui::ChildForm>(QStringLiteral("mnuEditUnits"));
        frame = frameOf(units);
        if (c.movedTo.isNull()) {
            EXPECT_EQ(frame->geometry(), centred);
        } else if (c.onScreen) {
            EXPECT_EQ(frame->pos(), left);
        }
        EXPECT_TRUE(window->visibleArea().contains(frame->geometry()))
            << frame->x() << "," << frame->y() << " " << frame->width() << "x" << frame->height();
        units->closeForm();
        settle();
    }
}

TEST_F(WindowLayoutTest, AWindowBroughtBackForAPickIsInView)
{
    makeWorkbench();
    frontend.mapWindows = true;
    frontend.showMapWindow();
    settle();
    QMdiSubWindow *frame = mapFrame();
    ASSERT_NE(frame, nullptr);
    frame->move(3000, -2000);
    frontend.showMapWindow(); // as Locate and Draw do before their pick
    settle();
    EXPECT_TRUE(window->visibleArea().contains(frame->geometry()));
}

} // namespace
} // namespace qel::test
