#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Map rendering needs fonts, which need a GUI application; the core tests never show a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
