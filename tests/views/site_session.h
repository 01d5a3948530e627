#pragma once

#include "support/test_session.h"

namespace qel::test {

// A started session whose project folder site/ exists, so result layers can be written.
struct SiteSession : TestSession {
    SiteSession() { makeProjectFolder(); }
    Session &s = *session;
    ProjectModel &m = session->model;
};

} // namespace qel::test
