#pragma once

#include "support/test_session.h"

#include <QString>

namespace qel::test {

inline QString mapFixture(const char *name)
{
    return QStringLiteral(QEL_TEST_DATA "/map/") + QString::fromLatin1(name);
}

} // namespace qel::test
