#include "gui/text/about_box.h"
#include "support/test_session.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::gui;
using namespace qel::test;

namespace {

// Runs the body with PATH set to one folder.
template<typename Body> void withPath(const QString &path, Body &&body)
{
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", path.toLocal8Bit());
    body();
    qputenv("PATH", saved);
}

} // namespace

TEST(AboutBox, VersionLabelAndButtons)
{
    TestSession t;
    AboutBox box(*t.session);
    auto *version = box.findChild<QLabel *>(QStringLiteral("lblVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("Version 1.2.1035\n(Build: 20040225)"));
    box.findChild<QPushButton *>(QStringLiteral("cmdDisclaimer"))->click();
    auto *disclaimer = box.findChild<QDialog *>(QStringLiteral("frmDisclaimer"));
    ASSERT_NE(disclaimer, nullptr);
    EXPECT_TRUE(disclaimer->isVisible());
    auto *close = disclaimer->findChild<QPushButton *>(QStringLiteral("cmdClose"));
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_FALSE(disclaimer->isVisible());
}

TEST(AboutBox, SystemInfoWithoutAToolSaysSo)
{
    TestSession t;
    QTemporaryDir nothing;
    withPath(nothing.path(), [&] {
        EXPECT_TRUE(findSystemInfoTool().program.isEmpty());
        AboutBox box(*t.session);
        box.findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
    });
    ASSERT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_EQ(t.frontend.boxes[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
}

TEST(AboutBox, FindsAnInstalledSystemInfoTool)
{
    QTemporaryDir bin;
    for (const char *name : { "gnome-system-monitor", "hardinfo" }) {
        QFile tool(bin.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\nexit 0\n");
        tool.setPermissions(tool.permissions() | QFileDevice::ExeOwner);
    }
    withPath(bin.path(), [&] { EXPECT_EQ(findSystemInfoTool().program, bin.filePath(QStringLiteral("hardinfo"))); });
}
