#include "core/tree_states.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;

// Toggles of an unmixed node are the outline window's test.
TEST(OutlineState, CheckToggleAndSubtree)
{
    OutlineState outline;
    outline.node(Step::BaseMap).state = CheckState::Some;
    outline.toggle(Step::BaseMap);
    EXPECT_EQ(outline.state(Step::BaseMap), CheckState::All);
    outline.uncheck(Step::BaseMap);
    EXPECT_EQ(outline.state(Step::BaseMap), CheckState::None);

    outline.check(Step::TransportRun);
    outline.setSubtree(Step::TransportRun);
    ASSERT_FALSE(outline.children(Step::TransportRun).empty());
    for (Step step : outline.children(Step::TransportRun))
        EXPECT_EQ(outline.state(step), CheckState::All);
    outline.initiate();
    for (const auto &node : outline.nodes())
        EXPECT_EQ(node.state, CheckState::None);
}

TEST(OutlineState, CheckNodeMarksTheProjectChanged)
{
    qel::test::TestSession t;
    t.session->checkNode(Step::WellLocations);
    EXPECT_TRUE(t.session->model.ProjectChanged);
    EXPECT_EQ(t.session->outline.state(Step::WellLocations), CheckState::All);
}

// Which layers take a toggle is the layer window's test.
TEST(LayerTreeState, InitiateDisablesClearsAndRenamesEveryLayer)
{
    LayerTreeState layers;
    layers.enable(LayerKey::Wells);
    EXPECT_TRUE(layers.toggle(LayerKey::Wells));
    EXPECT_EQ(layers.node(LayerKey::Wells).state, CheckState::All);
    layers.setText(LayerKey::Plumes, "Plume (3)");
    layers.initiate();
    EXPECT_EQ(layers.node(LayerKey::Plumes).text, "Plumes");
    EXPECT_FALSE(layers.node(LayerKey::Wells).enabled);
    EXPECT_EQ(layers.node(LayerKey::Wells).state, CheckState::None);
}
