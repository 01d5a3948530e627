#pragma once

#include "support/test_session.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace qel::test {

inline QString mapFixture(const char *name)
{
    return QStringLiteral(QEL_TEST_DATA "/map/") + QString::fromLatin1(name);
}

// Writes the bytes as the whole file and returns its path.
inline QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << path.toStdString();
    return path;
}

} // namespace qel::test
