#include "core/tree_states.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;

TEST(OutlineState, CheckNodeMarksTheProjectChanged)
{
    qel::test::TestSession t;
    t.session->checkNode(Step::WellLocations);
    EXPECT_TRUE(t.session->model.ProjectChanged);
    EXPECT_EQ(t.session->outline.state(Step::WellLocations), CheckState::All);
}
