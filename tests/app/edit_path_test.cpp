// Every change through the edit path can be taken back exactly and made again exactly.
#include "app/edit_path.h"

#include "align/placed_sources.h"
#include "app/edit_steps.h"
#include "merge/generate_target.h"
#include "merge/merge_fixtures.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tessary {
namespace {

using testing::PlacedSources;
using testing::randomImage;
using testing::sameImage;

// Everything an undo must give back: the values, every source's pixels and mask, and whether
// the target is current.
struct State {
    WorkspaceValues values;
    std::vector<MaskedDib> images;
    int32_t generated = 0;
    std::string title;
};

State stateOf(const MergeWorkspace& ws)
{
    State s { captureValues(ws), {}, ws.targetDoc.generated, ws.targetDoc.title };
    for (int i = 0; i < ws.sourceCount; ++i) {
        MaskedDib copy;
        const MaskedDib& image = ws.documents[size_t(i)]->image;
        copy.dib = image.dib->clone();
        copy.mask = image.mask.clone();
        copy.maskCount = image.maskCount;
        copy.owned = true;
        s.images.push_back(std::move(copy));
    }
    return s;
}

void expectSame(const State& a, const State& b)
{
    EXPECT_TRUE(a.values == b.values);
    for (size_t s = 0; s < a.values.placement.size(); ++s) {
        SCOPED_TRACE(::testing::Message() << "place " << s);
        EXPECT_EQ(a.values.placement[s].posX, b.values.placement[s].posX);
        EXPECT_EQ(a.values.placement[s].scaleX, b.values.placement[s].scaleX);
        EXPECT_EQ(a.values.placement[s].rotation, b.values.placement[s].rotation);
        EXPECT_EQ(a.values.mirrored[s], b.values.mirrored[s]);
    }
    ASSERT_EQ(a.images.size(), b.images.size());
    for (size_t i = 0; i < a.images.size(); ++i)
        EXPECT_TRUE(sameImage(a.images[i], b.images[i])) << "source " << i + 1;
    EXPECT_EQ(a.generated, b.generated);
    EXPECT_EQ(a.title, b.title);
}

// One random change of any kind a user can make, through the edit path.
void randomEdit(PlacedSources& p, std::mt19937& rng)
{
    MergeWorkspace& ws = p.ws;
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    const size_t s = size_t(pick(0, ws.sourceCount - 1));
    WorkspaceValues v = captureValues(ws);
    switch (pick(0, 9)) {
    case 0:
        v.placement[s].posX += pick(-30, 30);
        v.placement[s].posY += pick(-30, 30);
        editValues(ws, p.platform, "Move", v);
        return;
    case 1:
        v.placement[s].scaleX = pick(512, 2048);
        v.placement[s].scaleY = pick(512, 2048);
        editValues(ws, p.platform, "Sizes", v);
        return;
    case 2:
        v.placement[s].rotation = pick(-179, 180);
        editValues(ws, p.platform, "Rotate", v);
        return;
    case 3:
        v.mirrored[s] ^= 1;
        editValues(ws, p.platform, "Mirror horizontally", v);
        return;
    case 4:
        v.placement[s].topLevel = pick(0, 1) ? 1 : -1;
        v.biasWeight[s] = pick(0, 100);
        v.fadeEdge[s] ^= 1;
        v.mergeType = pick(0, 4);
        v.thresholdFuzziness = pick(1, 100);
        editValues(ws, p.platform, "Merge Sources", v);
        return;
    case 5:
        v.targetContrast = pick(0, 32);
        v.targetBrightness = pick(0, 255);
        v.marginX = pick(0, 20);
        v.marginColour = ColourRef(pick(0, 0xFFFFFF));
        editValues(ws, p.platform, "Contrast and Brightness", v);
        return;
    case 6:
    case 7: {
        // A correction: a new image replaces the source's.
        VIrorozIzi& doc = *ws.documents[s];
        SourceImageBefore before { std::move(doc.image), doc.editedInWindow };
        doc.image = randomImage(pick(3, 12), pick(3, 12), 24, rng);
        recordImageEdit(ws, p.platform, int(s) + 1, "Black and White", std::move(before));
        return;
    }
    default: {
        // An area tool: the mask changes where it lies.
        SourceImageBefore kept;
        ASSERT_TRUE(keepSourceImage(ws, int(s) + 1, kept));
        MaskedDib& image = ws.documents[s]->image;
        ASSERT_TRUE(materialiseMask(image));
        image.mask[0] = uint16_t(pick(0, 65535));
        image.dib->row(0)[0] ^= 0xFF; // and a pixel, which must not show in the kept copy
        recordImageEdit(ws, p.platform, int(s) + 1, "Make Transparent", std::move(kept));
        return;
    }
    }
}

TEST(EditPath, RandomEditsAllUndoneGiveTheStartAndAllRedoneTheEnd)
{
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        PlacedSources p;
        const int sources = std::uniform_int_distribution<int>(2, 4)(rng);
        for (int i = 0; i < sources; ++i)
            p.add(randomImage(std::uniform_int_distribution<int>(4, 16)(rng), 9, i % 2 ? 8 : 24, rng), 5 * i,
                i);
        p.ready(1);
        ASSERT_TRUE(generateTarget(p.ws, p.platform));
        const State start = stateOf(p.ws);

        const int edits = std::uniform_int_distribution<int>(1, 14)(rng);
        for (int e = 0; e < edits; ++e)
            randomEdit(p, rng);
        const State end = stateOf(p.ws);
        const size_t steps = p.ws.history.size();

        while (p.ws.history.canUndo())
            ASSERT_TRUE(undoEdit(p.ws, p.platform));
        expectSame(stateOf(p.ws), start);
        while (p.ws.history.canRedo())
            ASSERT_TRUE(redoEdit(p.ws, p.platform));
        EXPECT_EQ(p.ws.history.size(), steps);
        const State redone = stateOf(p.ws);
        EXPECT_TRUE(redone.values == end.values);
        ASSERT_EQ(redone.images.size(), end.images.size());
        for (size_t i = 0; i < end.images.size(); ++i)
            EXPECT_TRUE(sameImage(redone.images[i], end.images[i]));
    }
}

TEST(EditPath, AChangeThatChangesNothingIsNoStep)
{
    PlacedSources p;
    p.add(6, 4);
    p.add(5, 5, 3, 1);
    editValues(p.ws, p.platform, "Move", captureValues(p.ws));
    EXPECT_FALSE(p.ws.history.canUndo());
    WorkspaceValues v = captureValues(p.ws);
    v.placement[1].posX += 4;
    editValues(p.ws, p.platform, "Move", v);
    EXPECT_EQ(p.ws.history.undoName(), "Move");
    EXPECT_EQ(p.ws.history.redoName(), "");
}

TEST(EditPath, AStoppedTransformationTakesTheWholeChangeBack)
{
    PlacedSources p;
    p.add(20, 10);
    p.add(10, 20, 15, 0);
    p.ready(2);
    const WorkspaceValues before = captureValues(p.ws);
    const PackedDib* transformedBefore = p.transformed(2).dib.get();
    WorkspaceValues v = before;
    v.placement[0].posX = 40;
    v.placement[1].rotation = 30;
    // Esc held through the transformation, answered Yes.
    p.platform.escapeDownPolls = 1;
    p.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    int result = 0;
    EXPECT_FALSE(editValues(p.ws, p.platform, "Rotate", v, &result));
    EXPECT_EQ(result, kTransformAborted);
    EXPECT_TRUE(captureValues(p.ws) == before);
    EXPECT_EQ(p.transformed(2).dib.get(), transformedBefore) << "the transformed image from before is back";
    EXPECT_EQ(p.ws.alignDoc.previewValid, 1) << "no dead end: the preview is built from what was there";
    EXPECT_FALSE(p.ws.history.canUndo());
    ASSERT_EQ(p.platform.statusMessages.size(), 1u);
    EXPECT_EQ(p.platform.statusMessages[0], "Rotate was stopped: every source is placed as it was before.");
}

TEST(EditPath, AStoppedUndoLeavesTheStepToUndoAgain)
{
    PlacedSources p;
    p.add(20, 10);
    p.add(10, 20, 15, 0);
    p.ready(2);
    const WorkspaceValues before = captureValues(p.ws);
    WorkspaceValues v = before;
    v.placement[1].rotation = 30;
    ASSERT_TRUE(editValues(p.ws, p.platform, "Rotate", v));
    const WorkspaceValues after = captureValues(p.ws);
    const PackedDib* turned = p.transformed(2).dib.get();

    p.platform.escapeDownPolls = 1;
    p.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_FALSE(undoEdit(p.ws, p.platform));
    EXPECT_TRUE(captureValues(p.ws) == after);
    EXPECT_EQ(p.transformed(2).dib.get(), turned);
    EXPECT_EQ(p.ws.history.undoName(), "Rotate");
    EXPECT_FALSE(p.ws.history.canRedo());
    ASSERT_EQ(p.platform.statusMessages.size(), 1u);
    EXPECT_EQ(p.platform.statusMessages[0], "Undo Rotate was stopped: every source is placed as it was before.");

    EXPECT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_TRUE(captureValues(p.ws) == before);
    EXPECT_EQ(p.ws.history.redoName(), "Rotate");
}

TEST(EditPath, UndoRestoresACurrentTargetOnlyWhenNothingWasGeneratedSince)
{
    PlacedSources p;
    p.add(6, 4);
    p.add(5, 5, 3, 1);
    p.ready(1);
    ASSERT_TRUE(generateTarget(p.ws, p.platform));
    WorkspaceValues v = captureValues(p.ws);
    v.targetBrightness = 100;
    editValues(p.ws, p.platform, "Contrast and Brightness", v);
    EXPECT_EQ(p.ws.targetDoc.generated, 0);
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_EQ(p.ws.targetDoc.generated, 1);
    EXPECT_EQ(p.ws.targetDoc.title, "Target Window");

    ASSERT_TRUE(redoEdit(p.ws, p.platform));
    ASSERT_TRUE(generateTarget(p.ws, p.platform)); // made from the new values
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_EQ(p.ws.targetDoc.generated, 0);
    EXPECT_EQ(p.ws.targetDoc.title, "Target Window - needs updating");
}

TEST(History, OldImageStepsGoFirstAndPlacementStepsKeepWorking)
{
    PlacedSources p;
    p.add(40, 30);
    p.add(5, 5, 3, 1);
    std::mt19937 rng(3);
    // Each replacing image keeps its pixels and its mask's real values.
    const size_t imageBytes = randomImage(40, 30, 24, rng).dib->size() + 40 * 30 * sizeof(uint16_t);
    p.ws.history.setImageBudget(imageBytes * 2);
    WorkspaceValues v = captureValues(p.ws);
    v.placement[1].posX = 7;
    editValues(p.ws, p.platform, "Move", v);
    for (int i = 0; i < 3; ++i) {
        VIrorozIzi& doc = *p.ws.documents[0];
        SourceImageBefore before { std::move(doc.image), doc.editedInWindow };
        doc.image = randomImage(40, 30, 24, rng);
        recordImageEdit(p.ws, p.platform, 1, "Skew", std::move(before));
    }
    // Three image steps do not fit: the oldest went, and the status bar said so as it went.
    EXPECT_EQ(p.ws.history.size(), 3u);
    EXPECT_LE(p.ws.history.imageBytes(), imageBytes * 2);
    ASSERT_EQ(p.platform.statusMessages.size(), 1u);
    EXPECT_NE(
        p.platform.statusMessages[0].find("1 old image step can no longer be undone"), std::string::npos)
        << p.platform.statusMessages[0];
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_EQ(p.platform.statusMessages.size(), 1u) << "said once";
    EXPECT_EQ(p.ws.history.undoName(), "Move");
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_EQ(p.ws.alignDoc.placement[1].posX, 3);
    EXPECT_FALSE(p.ws.history.canUndo());
}

TEST(History, ClosingASourceDropsItsStepsAndRenumbersTheOthers)
{
    PlacedSources p;
    p.add(6, 4);
    p.add(5, 5, 3, 1);
    p.add(7, 3, 9, 2);
    std::mt19937 rng(5);
    const auto replace = [&](int number) {
        VIrorozIzi& doc = *p.ws.source(number);
        SourceImageBefore before { std::move(doc.image), doc.editedInWindow };
        doc.image = randomImage(6, 6, 24, rng);
        recordImageEdit(p.ws, p.platform, number, "Crop", std::move(before));
    };
    replace(2);
    const MaskedDib third = [&] {
        MaskedDib copy;
        copy.dib = p.ws.source(3)->image.dib->clone();
        copy.mask = p.ws.source(3)->image.mask.clone();
        copy.maskCount = p.ws.source(3)->image.maskCount;
        return copy;
    }();
    replace(3);
    p.ws.history.sourceClosed(2, 2);
    // Closing moves the documents down as closeSource does.
    p.ws.documents[1] = std::move(p.ws.documents[2]);
    p.ws.documents[1]->slotIndex = 1;
    p.ws.sourceCount = 2;
    EXPECT_EQ(p.ws.history.size(), 1u);
    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_TRUE(sameImage(p.ws.source(2)->image, third));
}

} // namespace
} // namespace tessary
