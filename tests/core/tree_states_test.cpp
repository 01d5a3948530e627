#include "core/tree_states.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;

TEST(OutlineState, CheckToggleAndSubtree)
{
    OutlineState outline;
    ASSERT_EQ(outline.nodes().size(), 19u);
    EXPECT_EQ(outline.nodes()[0].caption, "1. Input data");
    EXPECT_EQ(outline.children("Regression"),
        (QStringList { "Run linear regression", "View regression output", "Water level contours" }));

    outline.toggle("Set units");
    EXPECT_EQ(outline.state("Set units"), CheckState::All);
    outline.toggle("Set units");
    EXPECT_EQ(outline.state("Set units"), CheckState::None);
    outline.find("Base map")->state = CheckState::Some;
    outline.toggle("Base map");
    EXPECT_EQ(outline.state("Base map"), CheckState::All);
    outline.uncheck("Base map");
    EXPECT_EQ(outline.state("Base map"), CheckState::None);

    outline.check("Transport run");
    outline.setSubtree("Transport run");
    for (const QString &key : outline.children("Transport run"))
        EXPECT_EQ(outline.state(key), CheckState::All);
    outline.initiate();
    for (const auto &node : outline.nodes())
        EXPECT_EQ(node.state, CheckState::None);
}

TEST(OutlineState, CheckNodeMarksTheProjectChanged)
{
    qel::test::TestSession t;
    t.session->checkNode("Well locations");
    EXPECT_TRUE(t.session->model.ProjectChanged);
    EXPECT_EQ(t.session->outline.state("Well locations"), CheckState::All);
    // A toggle by the person changes only the picture.
    t.session->model.ProjectChanged = false;
    t.session->outline.toggle("Set units");
    EXPECT_FALSE(t.session->model.UNDone);
    EXPECT_FALSE(t.session->model.ProjectChanged);
}

TEST(LayerTreeState, DisabledNodesIgnoreToggles)
{
    LayerTreeState layers;
    ASSERT_EQ(layers.nodes().size(), 7u);
    EXPECT_EQ(layers.find("Source")->text, "Source center");
    EXPECT_FALSE(layers.toggle("Wells"));
    EXPECT_EQ(layers.find("Wells")->state, CheckState::None);
    layers.enable("Wells");
    EXPECT_TRUE(layers.toggle("Wells"));
    EXPECT_EQ(layers.find("Wells")->state, CheckState::All);
    layers.setText("Plumes", "Plume (3)");
    layers.initiate();
    EXPECT_EQ(layers.find("Plumes")->text, "Plumes");
    EXPECT_FALSE(layers.find("Wells")->enabled);
    EXPECT_EQ(layers.find("Wells")->state, CheckState::None);
    EXPECT_EQ(LayerTreeState::redrawOrder(), (std::vector<int> { 8, 7, 6, 4, 5, 3, 9 }));
}
