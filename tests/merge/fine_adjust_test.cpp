#include "merge/fine_adjust.h"

#include "app/edit_path.h"
#include "app/workspace.h"
#include "merge_fixtures.h"
#include "sources/source_doc.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;

// Three 20 x 10 sources side by side, transformed at 100 % and generated.
struct Placed {
    MergeWorkspace ws;
    GTestPlatform platform;
    Placed()
    {
        for (int32_t i = 0; i < 3; ++i) {
            auto doc = std::make_unique<VIrorozIzi>();
            doc->slotIndex = i;
            doc->image = testing::solidImage24(20, 10, BgrColour { uint8_t(60 * i), 100, 200 });
            ws.documents[size_t(i)] = std::move(doc);
            ws.targetDoc.transformed[size_t(i)]
                = testing::solidImage24(20, 10, BgrColour { uint8_t(60 * i), 100, 200 });
            ws.alignDoc.placement[size_t(i)].posX = 20 * i;
            ws.alignDoc.placement[size_t(i)].posY = 5 * i;
            ws.alignDoc.placement[size_t(i)].scaleX = ws.alignDoc.placement[size_t(i)].scaleY = 1024.0;
            ws.alignDoc.placement[size_t(i)].rotation = 0.0;
            ws.alignDoc.placement[size_t(i)].topLevel = ws.alignDoc.placement[size_t(i)].bottomLevel = -1;
        }
        ws.sourceCount = 3;
        ws.equalBiasWeights();
        ws.targetDoc.generated = 1;
        ws.alignDoc.alignViewWidth = 800;
        ws.alignDoc.alignViewHeight = 600;
    }
    CAlignDoc& doc() { return ws.alignDoc; }
};

TEST(FineAdjust, StepsAreOffsetsFromTheBaseValues)
{
    Placed p;
    FineAdjust adjust(p.ws, p.platform);
    EXPECT_FALSE(adjust.updateEnabled());
    adjust.step(2, { 5, 0, -15, 10, 0 });
    EXPECT_EQ(p.doc().placement[1].posX, 25);
    EXPECT_EQ(p.doc().placement[0].posX, 0);
    EXPECT_EQ(p.doc().placement[1].rotation, -1.5);
    EXPECT_EQ(p.doc().placement[1].scaleX, 1034.0);
    EXPECT_EQ(p.doc().placement[1].scaleY, 1024.0);
    EXPECT_TRUE(adjust.updateEnabled());
    // The next step replaces the offset; it does not add to it.
    adjust.step(2, { 7, 0, 0, 0, 0 });
    EXPECT_EQ(p.doc().placement[1].posX, 27);
    EXPECT_EQ(p.doc().placement[1].rotation, 0.0);
}

// Moving source 1 left of 0 shifts everybody right; switching the selector afterwards must not
// make any source jump.
TEST(FineAdjust, ANormalisationShiftsEveryBaseValue)
{
    Placed p;
    FineAdjust adjust(p.ws, p.platform);
    adjust.step(1, { -8, -3, 0, 0, 0 });
    EXPECT_EQ(p.doc().placement[0].posX, 0);
    EXPECT_EQ(p.doc().placement[1].posX, 28);
    EXPECT_EQ(p.doc().placement[2].posX, 48);
    EXPECT_EQ(p.doc().placement[1].posY, 8);
    // Source 2 selected with the same offsets: source 1 stays where it was, source 2 moves by
    // the offsets from where it stands.
    adjust.step(2, { -8, -3, 0, 0, 0 });
    EXPECT_EQ(p.doc().placement[0].posX, 0);
    EXPECT_EQ(p.doc().placement[1].posX, 20);
    EXPECT_EQ(p.doc().placement[0].posY, 0);
    EXPECT_EQ(p.doc().placement[1].posY, 5);
}

TEST(FineAdjust, AScaleNeverGoesBelowOne)
{
    Placed p;
    p.doc().placement[0].scaleX = 40.0;
    FineAdjust adjust(p.ws, p.platform);
    adjust.step(1, { 0, 0, 0, -100, 0 });
    EXPECT_EQ(p.doc().placement[0].scaleX, 1.0);
}

TEST(FineAdjust, UpdateTransformsEverySourceWhoseGeometryChanged)
{
    Placed p;
    FineAdjust adjust(p.ws, p.platform);
    adjust.step(1, { 0, 0, 0, 1024 / 10, 0 });
    adjust.step(3, { 0, 0, 900, 0, 0 }); // source 1 now at base again, source 3 turned 90
    adjust.step(1, { 0, 0, 0, 100, 0 });
    adjust.ok();
    EXPECT_EQ(p.ws.targetDoc.transformed[0].width(), 20 * 1124 / 1024);
    EXPECT_EQ(p.ws.targetDoc.transformed[2].width(), 10);
    EXPECT_EQ(p.ws.targetDoc.transformed[2].height(), 20);
    EXPECT_EQ(p.ws.targetDoc.generated, 1);
    EXPECT_EQ(p.doc().previewValid, 1);
    EXPECT_FALSE(adjust.updateEnabled());
}

// Esc keeps the steps, as one step of their own, transformed at once.
TEST(FineAdjust, EscKeepsTheStepsAsOneStep)
{
    Placed p;
    const WorkspaceValues before = captureValues(p.ws);
    FineAdjust adjust(p.ws, p.platform);
    adjust.step(2, { 3, 0, 0, 50, 0 });
    adjust.step(2, { 4, 0, 0, 50, 0 });
    adjust.escape();
    const WorkspaceValues after = captureValues(p.ws);
    EXPECT_EQ(after.placement[1].scaleX, 1074.0);
    EXPECT_EQ(after.placement[1].posX, 24);
    EXPECT_EQ(p.ws.targetDoc.transformed[1].width(), 20 * 1074 / 1024);
    EXPECT_EQ(p.ws.targetDoc.generated, 0);
    EXPECT_EQ(p.ws.targetDoc.title, "Target Window - needs updating");
    EXPECT_EQ(p.ws.history.size(), 1u);
    EXPECT_EQ(p.ws.history.undoName(), "Fine Alignment");
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_EQ(captureValues(p.ws), before);
    EXPECT_EQ(p.ws.targetDoc.transformed[1].width(), 20);
    ASSERT_TRUE(redoEdit(p.ws, p.platform));
    EXPECT_EQ(captureValues(p.ws), after);

    // Nothing changed: Esc leaves everything as it is.
    Placed q;
    FineAdjust untouched(q.ws, q.platform);
    untouched.escape();
    EXPECT_EQ(q.ws.targetDoc.generated, 1);
    EXPECT_EQ(q.ws.history.size(), 0u);
}

// Each Update Target makes its own step: the dialog's changes stay when it is left with Esc.
TEST(FineAdjust, EachUpdateIsAStepAndOkTheLast)
{
    Placed p;
    const WorkspaceValues opened = captureValues(p.ws);
    FineAdjust adjust(p.ws, p.platform);
    adjust.step(1, { 0, 0, 0, 100, 0 });
    ASSERT_TRUE(adjust.updateTarget());
    const WorkspaceValues updated = captureValues(p.ws);
    adjust.step(3, { 0, 0, 900, 0, 0 });
    adjust.ok();
    EXPECT_EQ(p.ws.history.size(), 2u);
    EXPECT_EQ(p.ws.targetDoc.generated, 1);
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_EQ(captureValues(p.ws), updated);
    // The target shown was made after both steps: it no longer matches.
    EXPECT_EQ(p.ws.targetDoc.generated, 0);
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_EQ(captureValues(p.ws), opened);
    EXPECT_EQ(p.ws.targetDoc.transformed[0].width(), 20);
}

// A transformation stopped with Esc: the values, the transformed images and the target stay
// as they were, and nothing is recorded.
TEST(FineAdjust, AStoppedTransformationLeavesEverythingAsBefore)
{
    Placed p;
    const WorkspaceValues before = captureValues(p.ws);
    const PackedDib* image = p.ws.targetDoc.transformed[1].dib.get();
    FineAdjust adjust(p.ws, p.platform);
    adjust.step(2, { 5, 2, 300, 40, 0 });
    p.platform.escapeDownPolls = 1;
    p.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_FALSE(adjust.updateTarget());
    EXPECT_EQ(captureValues(p.ws), before);
    EXPECT_EQ(p.ws.targetDoc.transformed[1].dib.get(), image);
    EXPECT_EQ(p.ws.targetDoc.generated, 1);
    EXPECT_EQ(p.ws.history.size(), 0u);
    // The next step counts from where the sources are again.
    p.platform.escapeDownPolls = 0;
    adjust.step(2, { 1, 0, 0, 0, 0 });
    EXPECT_EQ(p.doc().placement[1].posX, before.placement[1].posX + 1);
}

} // namespace
} // namespace tessary
