#include "align/placement_commands.h"

#include "placed_sources.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::makeImage24;
using testing::pixelAt;
using testing::PlacedSources;
using testing::sameImage;

// Red on the left half, blue on the right, so a mirror shows.
MaskedDib halves(int32_t w, int32_t h)
{
    return makeImage24(w, h, [w](int32_t x, int32_t) {
        return x < w / 2 ? BgrColour { 0, 0, 255 } : BgrColour { 255, 0, 0 };
    });
}

class PlacementCommands : public ::testing::Test {
protected:
    PlacedSources p;
    void SetUp() override
    {
        p.add(200, 100);
        p.add(halves(60, 40), 200, 0);
        p.ready(2);
    }
};

TEST_F(PlacementCommands, MirrorFlipsAndMirroringTwiceGivesTheBytesBack)
{
    const MaskedDib original = p.transformed(2).clone();
    EXPECT_EQ(mirrorSelectedSource(p.ws, p.platform), kTransformDone);
    EXPECT_EQ(p.ws.targetDoc.mirrored[1], 1);
    EXPECT_EQ(pixelAt(p.transformed(2), 10, 0), (BgrColour { 255, 0, 0 }));
    EXPECT_EQ(pixelAt(p.transformed(2), 50, 0), (BgrColour { 0, 0, 255 }));
    EXPECT_TRUE(p.targetStale());
    EXPECT_EQ(p.ws.alignDoc.previewValid, 1);

    EXPECT_EQ(mirrorSelectedSource(p.ws, p.platform), kTransformDone);
    EXPECT_EQ(p.ws.targetDoc.mirrored[1], 0);
    EXPECT_TRUE(sameImage(p.transformed(2), original));
    // The other source was never touched.
    EXPECT_EQ(p.ws.targetDoc.mirrored[0], 0);
}

TEST_F(PlacementCommands, ResetSizeGoesBackToTheOriginalSize)
{
    p.ws.alignDoc.placement[1].scaleX = 3000;
    p.ws.alignDoc.placement[1].scaleY = 17;
    ASSERT_EQ(transformSource(p.ws, p.platform, 2), kTransformDone);
    ASSERT_NE(p.transformed(2).width(), 60);
    EXPECT_EQ(resetSelectedSourceSize(p.ws, p.platform), kTransformDone);
    EXPECT_EQ(p.ws.alignDoc.placement[1].scaleX, 1024.0);
    EXPECT_EQ(p.ws.alignDoc.placement[1].scaleY, 1024.0);
    EXPECT_EQ(p.transformed(2).width(), 60);
    EXPECT_EQ(p.transformed(2).height(), 40);
    EXPECT_TRUE(p.targetStale());
}

TEST_F(PlacementCommands, RotateStoresTheAngleAndTheSameAngleChangesNothing)
{
    EXPECT_EQ(rotateSelectedSource(p.ws, p.platform, -30), kTransformDone);
    EXPECT_EQ(p.ws.alignDoc.placement[1].rotation, -30.0);
    EXPECT_GT(p.transformed(2).height(), 40);
    EXPECT_TRUE(p.targetStale());

    // Again at -30: nothing is transformed, the target stays current and no step is recorded.
    const int transformations = p.transformations();
    p.ready(2);
    EXPECT_EQ(rotateSelectedSource(p.ws, p.platform, -30), kTransformDone);
    EXPECT_EQ(p.transformations(), transformations);
    EXPECT_FALSE(p.targetStale());
    EXPECT_EQ(p.ws.history.size(), 1u);
}

TEST_F(PlacementCommands, AStoppedTransformationTakesTheChangeBack)
{
    const MaskedDib original = p.transformed(2).clone();
    // Esc held during the transformation, and the user quits.
    p.platform.escapeDownPolls = 1;
    p.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_EQ(mirrorSelectedSource(p.ws, p.platform), kTransformAborted);
    EXPECT_EQ(p.ws.targetDoc.mirrored[1], 0);
    EXPECT_TRUE(sameImage(p.transformed(2), original));
    EXPECT_EQ(p.ws.alignDoc.previewValid, 1);
    EXPECT_FALSE(p.targetStale());
    EXPECT_EQ(p.platform.statusMessages,
        std::vector<std::string> { "Mirror horizontally was stopped: every source is placed as it was before." });
}

TEST_F(PlacementCommands, NothingHappensWithoutALoadedSelectedSource)
{
    for (int32_t selected : { 0, 3, 9 }) {
        p.ws.alignView.selectedSource = selected;
        EXPECT_EQ(mirrorSelectedSource(p.ws, p.platform), kTransformNoSource);
        EXPECT_EQ(resetSelectedSourceSize(p.ws, p.platform), kTransformNoSource);
        EXPECT_EQ(rotateSelectedSource(p.ws, p.platform, 10), kTransformNoSource);
    }
    EXPECT_EQ(p.ws.targetDoc.mirrored, (PerPlace<int32_t> {}));
    EXPECT_EQ(p.ws.targetDoc.title, "Target Window");
}

} // namespace
} // namespace tessary
