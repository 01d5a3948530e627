#pragma once

#include "support/test_session.h"

#include <QDir>

namespace qel::test {

// A started session whose project folder site/ exists, so result layers can be written.
struct SiteSession : TestSession {
    SiteSession()
    {
        m.ProjectDir = home() + QStringLiteral("site/");
        QDir().mkpath(m.ProjectDir);
    }
    Session &s = *session;
    ProjectModel &m = session->model;
};

} // namespace qel::test
