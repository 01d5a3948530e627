#pragma once

#include "core/errors.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>

namespace qel::test {

inline QString mapFixture(const char *name)
{
    return QStringLiteral(QEL_TEST_DATA "/map/") + QString::fromLatin1(name);
}

// The error the call throws; a test failure, and error 0, when it throws none.
inline QelError thrownBy(const std::function<void()> &call)
{
    try {
        call();
    } catch (const QelError &e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return QelError(0);
}

} // namespace qel::test
