#include "gui/workbench/qt_frontend.h"
#include "gui/workbench_fixture.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

class QtFrontendProgress : public WorkbenchTest { };

void postClick(QWidget *on)
{
    const QPointF at(on->width() / 2.0, on->height() / 2.0);
    for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease })
        QCoreApplication::postEvent(on,
            new QMouseEvent(type, at, on->mapToGlobal(at), Qt::LeftButton,
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
}

// While long work repaints the windows, only its Cancel button and Esc reach anything: a click
// elsewhere could start another command in the middle of it. Each work starts uncancelled.
TEST_F(QtFrontendProgress, OnlyCancelAndEscapeReachTheWindowsDuringLongWork)
{
    gui::MainWindow &w = makeWindow();
    gui::QtFrontend qt;
    qt.attach(&w);
    auto *other = new QPushButton(QStringLiteral("Other"), &w);
    other->show();
    int otherClicks = 0;
    QObject::connect(other, &QPushButton::clicked, [&] { ++otherClicks; });
    auto *cancel = w.findChild<QAbstractButton *>(QStringLiteral("cmdCancelWork"));
    ASSERT_NE(cancel, nullptr);

    const struct {
        const char *what;
        std::function<void()> input;
        bool cancels;
    } cases[] = {
        { "a click elsewhere", [&] { postClick(other); }, false },
        { "Esc", [&] { QCoreApplication::postEvent(&w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {})); }, true },
        { "the Cancel button", [&] { postClick(cancel); }, true },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        qt.beginProgress(QStringLiteral("Working..."));
        EXPECT_TRUE(cancel->isVisible());
        EXPECT_FALSE(qt.cancelRequested());
        c.input();
        qt.processPendingEvents();
        EXPECT_EQ(qt.cancelRequested(), c.cancels);
        EXPECT_EQ(cancel->isEnabled(), !c.cancels) << "a second press would do nothing";
        qt.endProgress();
        EXPECT_FALSE(cancel->isVisible());
    }
    EXPECT_EQ(otherClicks, 0);
    postClick(other);
    QCoreApplication::processEvents();
    EXPECT_EQ(otherClicks, 1) << "after the work, clicks reach the windows again";
}

} // namespace
} // namespace qel::test
