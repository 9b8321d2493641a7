#include "align/activate_align_view.h"
#include "align/rebuild_preview.h"
#include "app/workspace.h"
#include "merge/merge_fixtures.h"
#include "merge/target_commands.h"
#include "merge/transform_source.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;
using testing::solidImage24;

class ActivateAlignView : public ::testing::Test {
protected:
    MergeWorkspace ws;
    GTestPlatform platform;

    void SetUp() override
    {
        for (int j = 0; j < 3; ++j) {
            auto doc = std::make_unique<VIrorozIzi>();
            doc->slotIndex = j;
            doc->imageWidth = 40;
            doc->imageHeight = 30;
            doc->image = solidImage24(40, 30, BgrColour { 0, 0, uint8_t(80 * j) });
            ws.documents[size_t(j)] = std::move(doc);
            ++ws.sourceCount;
            ASSERT_EQ(transformSource(ws, platform, j + 1), kTransformDone);
            ws.alignDoc.placement[size_t(j)].posX = 40 * j;
        }
        ws.alignDoc.alignViewWidth = 800;
        ws.alignDoc.alignViewHeight = 600;
        rebuildPreview(ws, platform, 0);
        ws.targetDoc.title = "Target Window";
    }
};

TEST_F(ActivateAlignView, NothingChangedDoesNothing)
{
    const PackedDib* preview = ws.alignDoc.preview.dib.get();
    EXPECT_FALSE(retransformChangedSources(ws, platform));
    EXPECT_EQ(ws.alignDoc.preview.dib.get(), preview);
    EXPECT_EQ(ws.targetDoc.title, "Target Window");
}

TEST_F(ActivateAlignView, ChangedSourcesAreTransformedAndThePreviewRebuilt)
{
    ws.source(2)->image = solidImage24(60, 30, BgrColour { 0, 255, 0 });
    ws.source(2)->changed = true;
    EXPECT_TRUE(retransformChangedSources(ws, platform));
    EXPECT_FALSE(ws.source(2)->changed);
    EXPECT_EQ(ws.targetDoc.transformed[1].width(), 60);
    EXPECT_EQ(ws.alignDoc.previewValid, 1);
    EXPECT_EQ(ws.alignDoc.layoutWidth, 120); // source 3 at 80 is the widest reach
    EXPECT_EQ(ws.targetDoc.title, "Target Window - needs updating");
}

TEST_F(ActivateAlignView, AStoppedTransformationKeepsThePictureFromBeforeAndIsTriedAgain)
{
    const PackedDib* before = ws.targetDoc.transformed[0].dib.get();
    ws.source(1)->image = solidImage24(60, 30, BgrColour { 0, 255, 0 });
    ws.source(1)->changed = true;
    ws.source(3)->changed = true;
    // Source 1 is abandoned with Esc, source 3 goes through: the preview is whole, with source
    // 1 as it was, and the status bar says why.
    platform.escapeDownPolls = 1;
    platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_TRUE(retransformChangedSources(ws, platform));
    EXPECT_EQ(ws.alignDoc.previewValid, 1);
    EXPECT_EQ(ws.alignDoc.previewStatus, kPreviewOk);
    EXPECT_EQ(ws.targetDoc.transformed[0].dib.get(), before);
    EXPECT_TRUE(ws.source(1)->changed);
    EXPECT_TRUE(ws.source(1)->processedOk) << "it is tried again: the source window says nothing";
    EXPECT_FALSE(ws.source(3)->changed);
    EXPECT_EQ(ws.targetDoc.title, "Target Window - needs updating");
    ASSERT_EQ(platform.statusMessages.size(), 1u);
    EXPECT_EQ(platform.statusMessages[0],
        "Transforming source 1 was stopped: the Align Window shows it as it was before its last change.");

    // The next activation transforms it.
    EXPECT_TRUE(retransformChangedSources(ws, platform));
    EXPECT_EQ(ws.targetDoc.transformed[0].width(), 60);
    EXPECT_FALSE(ws.source(1)->changed);
}

TEST_F(ActivateAlignView, AStoppedTransformationWithNoPictureFromBeforeReachesThePreviewStatus)
{
    ws.targetDoc.transformed[0] = MaskedDib {};
    ws.source(1)->changed = true;
    platform.escapeDownPolls = 1;
    platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    platform.expectMessage(kPreviewAbortedText);
    EXPECT_TRUE(retransformChangedSources(ws, platform));
    EXPECT_EQ(ws.alignDoc.previewValid, 0);
    EXPECT_EQ(ws.alignDoc.previewStatus, kTransformAborted);
}

TEST_F(ActivateAlignView, GeneratingTheTargetTransformsEditedSourcesFirst)
{
    ws.source(2)->image = solidImage24(40, 30, BgrColour { 0, 255, 0 });
    ws.source(2)->changed = true;
    ASSERT_TRUE(generateTargetCommand(ws, platform));
    EXPECT_FALSE(ws.source(2)->changed);
    // Source 2 lies alone between 40 and 80.
    const uint8_t* p = std::as_const(*ws.targetDoc.targetImage).row(15) + 3 * 60;
    EXPECT_EQ(BgrColour(p[0], p[1], p[2]), (BgrColour { 0, 255, 0 }));
}

TEST_F(ActivateAlignView, ASourceStillWaitingForItsTransformationMakesNoTarget)
{
    ws.source(2)->image = solidImage24(40, 30, BgrColour { 0, 255, 0 });
    ws.source(2)->changed = true;
    platform.escapeDownPolls = 1;
    platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_FALSE(generateTargetCommand(ws, platform));
    EXPECT_TRUE(ws.source(2)->changed);
    EXPECT_EQ(ws.targetDoc.generated, 0);
    EXPECT_EQ(ws.targetDoc.targetImage, nullptr);
}

} // namespace
} // namespace tessary
