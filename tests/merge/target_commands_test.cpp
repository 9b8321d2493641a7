#include "merge/target_commands.h"

#include "app/edit_path.h"
#include "app/workspace.h"
#include "merge/bright_cont.h"
#include "merge/integer_field.h"
#include "merge/invalidate_target.h"
#include "merge_fixtures.h"
#include "sources/source_doc.h"
#include "support/gtest_platform.h"

#include <functional>
#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;
using testing::solidImage24;

struct Observer : WorkspaceObserver {
    int generated = 0;
    int invalidated = 0;
    void targetGenerated() override { ++generated; }
    void targetInvalidated() override { ++invalidated; }
};

BgrColour grey(uint8_t v)
{
    return BgrColour { v, v, v };
}

BgrColour targetPixel(const CDestdoc& t, int32_t x, int32_t row)
{
    const uint8_t* p = t.targetImage->row(row) + 3 * size_t(x);
    return BgrColour { p[0], p[1], p[2] };
}

// `count` transformed sources of 100 x 80 in grey 60, 120, 180..., side by side 50 pixels apart
// so that neighbours overlap.
struct Sources {
    MergeWorkspace ws;
    GTestPlatform platform;
    Observer observer;
    explicit Sources(int count)
    {
        ws.addObserver(&observer);
        for (int i = 0; i < count; ++i) {
            ws.documents[size_t(i)] = std::make_unique<VIrorozIzi>();
            ws.documents[size_t(i)]->slotIndex = i;
            ws.targetDoc.transformed[size_t(i)] = solidImage24(100, 80, grey(uint8_t(60 * (i + 1))));
            ws.alignDoc.placement[size_t(i)].posX = 50 * i;
        }
        ws.sourceCount = count;
        ws.equalBiasWeights();
        ws.alignDoc.previewValid = 1;
        // Every change rebuilds the Align preview, which needs the view's size.
        ws.alignDoc.alignViewWidth = 800;
        ws.alignDoc.alignViewHeight = 600;
    }
    ~Sources() { ws.removeObserver(&observer); }
};

TEST(TargetCommands, EnablingFollowsSourcesPreviewAndGeneration)
{
    Sources one(1);
    EXPECT_FALSE(targetCommandsEnabled(one.ws));
    EXPECT_FALSE(mergeDefaultsEnabled(one.ws));
    Sources two(2);
    EXPECT_TRUE(targetCommandsEnabled(two.ws));
    EXPECT_TRUE(mergeDefaultsEnabled(two.ws));
    two.ws.alignDoc.previewValid = 0;
    EXPECT_FALSE(targetCommandsEnabled(two.ws));
    EXPECT_TRUE(mergeDefaultsEnabled(two.ws));
    EXPECT_FALSE(targetSaveEnabled(two.ws));
    two.ws.targetDoc.generated = 1;
    EXPECT_TRUE(targetSaveEnabled(two.ws));
}

TEST(TargetCommands, MergeSourcesGeneratesAtOnceOnlyWithoutOverlap)
{
    Sources s(2);
    s.ws.alignDoc.noOverlap = 0;
    EXPECT_FALSE(mergeSourcesWithoutOverlap(s.ws, s.platform));
    EXPECT_EQ(s.observer.generated, 0);
    EXPECT_TRUE(s.platform.messages.empty());

    s.ws.alignDoc.noOverlap = 1;
    s.platform.expectMessage(kNoOverlapMessage);
    EXPECT_TRUE(mergeSourcesWithoutOverlap(s.ws, s.platform));
    EXPECT_EQ(s.platform.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(s.platform.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(s.observer.generated, 1);
    ASSERT_TRUE(s.ws.targetDoc.targetImage);
    EXPECT_EQ(s.ws.targetDoc.targetImage->width(), 150);
}

TEST(TargetCommands, MergeDefaultsWithThreeSourcesGiveWholeWeights)
{
    Sources s(3);
    CDestdoc& t = s.ws.targetDoc;
    t.targetBrightness = 90;
    t.targetContrast = 30;
    t.thresholdFuzziness = 9;
    t.zoneSelected = 1;
    s.ws.mergeType = kMergeDarkest;
    s.ws.alignDoc.placement[0].topLevel = 2;
    s.ws.alignDoc.placement[2].bottomLevel = 1;
    s.ws.fadeEdge[1] = 1;
    s.ws.targetView.snapGrid = 16;
    // A place past the loaded sources keeps what it has.
    s.ws.biasWeight[3] = 77.0;

    s.platform.expectMessage(kMergeDefaultsQuestion, MessageAnswer::No);
    EXPECT_FALSE(setMergeDefaults(s.ws, s.platform));
    EXPECT_EQ(t.targetBrightness, 90);
    EXPECT_EQ(s.ws.targetView.snapGrid, 16);
    EXPECT_EQ(s.observer.generated, 0);

    s.platform.expectMessage(kMergeDefaultsQuestion, MessageAnswer::Yes);
    EXPECT_TRUE(setMergeDefaults(s.ws, s.platform));
    EXPECT_EQ(s.platform.messages[1].icon, MessageIcon::Question);
    EXPECT_EQ(s.platform.messages[1].buttons, MessageButtons::YesNo);
    EXPECT_EQ(t.targetBrightness, 128);
    EXPECT_EQ(t.targetContrast, 16);
    EXPECT_EQ(t.thresholdFuzziness, 4);
    EXPECT_EQ(t.zoneSelected, 0);
    EXPECT_EQ(s.ws.mergeType, kMergeAverage);
    EXPECT_EQ(s.ws.targetView.snapGrid, 1);
    double total = 0;
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s.ws.biasWeight[i], 33.0);
        EXPECT_EQ(s.ws.alignDoc.placement[i].topLevel, -1);
        EXPECT_EQ(s.ws.alignDoc.placement[i].bottomLevel, -1);
        EXPECT_EQ(s.ws.fadeEdge[i], 0);
        total += s.ws.biasWeight[i];
    }
    EXPECT_EQ(total, 99.0);
    EXPECT_EQ(s.ws.biasWeight[3], 77.0);
    EXPECT_EQ(s.observer.generated, 1);
    EXPECT_EQ(t.generated, 1);
}

TEST(TargetCommands, ColoursOpenAtBlackAndRegenerateWithTwoSources)
{
    Sources s(2);
    s.platform.colourAnswers = { std::nullopt, makeColourRef(10, 20, 30), makeColourRef(200, 0, 0) };
    s.ws.targetDoc.backgroundColour = makeColourRef(5, 5, 5);
    EXPECT_FALSE(chooseBackgroundColour(s.ws, s.platform));
    EXPECT_EQ(s.ws.targetDoc.backgroundColour, makeColourRef(5, 5, 5));
    EXPECT_EQ(s.observer.generated, 0);
    EXPECT_TRUE(chooseBackgroundColour(s.ws, s.platform));
    EXPECT_EQ(s.ws.targetDoc.backgroundColour, makeColourRef(10, 20, 30));
    EXPECT_EQ(s.observer.generated, 1);

    s.ws.targetDoc.marginX = 3;
    EXPECT_TRUE(chooseMarginColour(s.ws, s.platform));
    EXPECT_EQ(s.ws.targetDoc.marginColour, makeColourRef(200, 0, 0));
    EXPECT_EQ(targetPixel(s.ws.targetDoc, 0, 0), (BgrColour { 0, 0, 200 }));
    EXPECT_EQ(s.observer.generated, 2);

    // One source: the colour is kept, nothing is generated.
    Sources one(1);
    one.platform.colourAnswers = { makeColourRef(1, 2, 3) };
    EXPECT_TRUE(chooseMarginColour(one.ws, one.platform));
    EXPECT_EQ(one.ws.targetDoc.marginColour, makeColourRef(1, 2, 3));
    EXPECT_EQ(one.observer.generated, 0);
}

TEST(TargetCommands, ViewingSizeAndMarginsRegenerate)
{
    Sources s(2); // a 150 x 80 target
    applyViewingSize(s.ws, s.platform, 50);
    EXPECT_EQ(s.ws.targetDoc.viewPercentX, 50);
    EXPECT_EQ(s.ws.targetDoc.viewPercentY, 50);
    EXPECT_EQ(s.ws.targetDoc.viewWidth, 75);
    EXPECT_EQ(s.ws.targetDoc.viewHeight, 40);
    applyMargins(s.ws, s.platform, 10, 0);
    EXPECT_EQ(s.ws.targetDoc.targetImage->width(), 170);
    EXPECT_EQ(s.ws.targetDoc.viewWidth, 85);
    EXPECT_EQ(s.observer.generated, 2);

    Sources one(1);
    applyViewingSize(one.ws, one.platform, 25);
    EXPECT_EQ(one.ws.targetDoc.viewPercentX, 25);
    EXPECT_EQ(one.observer.generated, 0);
}

TEST(TargetCommands, MarginFieldsAcceptOnlyIntegersInRange)
{
    struct Case {
        const char* text;
        std::optional<int32_t> value;
        const char* message;
    } cases[] = {
        { "0", 0, "" },
        { " 500 ", 500, "" },
        { "+12", 12, "" },
        { "501", std::nullopt, "Enter an integer between 0 and 500." },
        { "-1", std::nullopt, "Enter an integer between 0 and 500." },
        { "99999999999999999999", std::nullopt, "Enter an integer between 0 and 500." },
        { "", std::nullopt, "Please enter an integer." },
        { "12a", std::nullopt, "Please enter an integer." },
        { "-", std::nullopt, "Please enter an integer." },
    };
    for (const Case& c : cases) {
        const IntegerField field = readIntegerField(c.text, kMargin.min, kMargin.max);
        EXPECT_EQ(field.value, c.value) << c.text;
        EXPECT_EQ(field.message, c.message) << c.text;
    }
    EXPECT_EQ(integerRangeMessage(1, 10), "Enter an integer between 1 and 10.");
}

TEST(TargetCommands, InvalidateTargetDropsTheZoneAndTheGeneratedFlag)
{
    Sources s(2);
    s.ws.targetDoc.generated = 1;
    s.ws.targetDoc.title = "Target Window";
    s.ws.targetView.zoneAnchor = { 3, 4 };
    s.ws.targetView.zoneCorner = { 90, 95 };
    invalidateTarget(s.ws);
    EXPECT_EQ(s.ws.targetDoc.generated, 0);
    EXPECT_EQ(s.ws.targetView.zoneAnchor, ViewPoint {});
    EXPECT_EQ(s.ws.targetView.zoneCorner, ViewPoint {});
    EXPECT_EQ(s.ws.targetDoc.title, "Target Window");
    EXPECT_EQ(s.observer.invalidated, 1);
}

TEST(BrightCont, OkAtOnceRegeneratesWithTheSameValues)
{
    Sources s(2);
    s.ws.targetDoc.targetContrast = 20;
    s.ws.targetDoc.targetBrightness = 100;
    BrightContValues dialog(s.ws.targetDoc);
    EXPECT_EQ(dialog.contrast(), 20);
    EXPECT_EQ(dialog.brightness(), 100);
    EXPECT_FALSE(dialog.applyEnabled());
    dialog.ok(s.ws, s.platform);
    EXPECT_EQ(s.observer.generated, 1);
    EXPECT_EQ(s.ws.targetDoc.targetContrast, 20);
    EXPECT_EQ(s.ws.targetDoc.targetBrightness, 100);
}

TEST(BrightCont, ApplyThenOkGeneratesOnce)
{
    Sources s(2);
    BrightContValues dialog(s.ws.targetDoc);
    dialog.slidersMoved(16, 0);
    EXPECT_TRUE(dialog.applyEnabled());
    dialog.apply(s.ws, s.platform);
    EXPECT_TRUE(dialog.contrastApplied());
    dialog.ok(s.ws, s.platform);
    EXPECT_EQ(s.observer.generated, 1);
    // Brightness 0 at contrast 16: every channel becomes c - 256, black.
    EXPECT_EQ(targetPixel(s.ws.targetDoc, 10, 10), grey(0));
    EXPECT_EQ(targetPixel(s.ws.targetDoc, 120, 70), grey(0));

    // Moving a slider after Apply makes Ok apply again.
    dialog.slidersMoved(16, 138);
    dialog.ok(s.ws, s.platform);
    EXPECT_EQ(s.observer.generated, 2);
    EXPECT_EQ(targetPixel(s.ws.targetDoc, 120, 70), grey(140));
}

TEST(BrightCont, SetDefaultsAppliesNothingUntilOk)
{
    Sources s(2);
    s.ws.targetDoc.targetContrast = 30;
    s.ws.targetDoc.targetBrightness = 60;
    {
        // Esc after Set Defaults: nothing changes.
        BrightContValues dialog(s.ws.targetDoc);
        dialog.setDefaults();
        EXPECT_EQ(dialog.contrast(), 16);
        EXPECT_EQ(dialog.brightness(), 128);
        EXPECT_TRUE(dialog.applyEnabled());
    }
    EXPECT_EQ(s.ws.targetDoc.targetContrast, 30);
    EXPECT_EQ(s.ws.targetDoc.targetBrightness, 60);
    EXPECT_EQ(s.observer.generated, 0);

    // Apply, then Set Defaults, then Ok: the defaults shown are what the target gets.
    BrightContValues dialog(s.ws.targetDoc);
    dialog.apply(s.ws, s.platform);
    dialog.setDefaults();
    dialog.ok(s.ws, s.platform);
    EXPECT_EQ(s.ws.targetDoc.targetContrast, 16);
    EXPECT_EQ(s.ws.targetDoc.targetBrightness, 128);
    EXPECT_EQ(s.observer.generated, 2);
}

// Each command that changes a target setting is one step under its menu name: undone, the
// values from before come back; redone, those after.
TEST(TargetCommands, EachSettingCommandIsOneUndoableStep)
{
    struct Case {
        const char* name;
        std::function<void(Sources&)> run;
    };
    const Case cases[] = {
        { "Background Color",
            [](Sources& s) {
                s.platform.colourAnswers = { makeColourRef(10, 20, 30) };
                chooseBackgroundColour(s.ws, s.platform);
            } },
        { "Set Margin Color",
            [](Sources& s) {
                s.platform.colourAnswers = { makeColourRef(200, 0, 0) };
                chooseMarginColour(s.ws, s.platform);
            } },
        { "Set Margins", [](Sources& s) { applyMargins(s.ws, s.platform, 10, 4); } },
        { "Set merge defaults",
            [](Sources& s) {
                s.platform.expectMessage(kMergeDefaultsQuestion, MessageAnswer::Yes);
                setMergeDefaults(s.ws, s.platform);
            } },
        { "Contrast Brightness",
            [](Sources& s) {
                BrightContValues dialog(s.ws.targetDoc);
                dialog.slidersMoved(20, 90);
                dialog.ok(s.ws, s.platform);
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sources s(3);
        s.ws.mergeType = kMergeDarkest;
        s.ws.targetDoc.targetContrast = 30;
        s.ws.alignDoc.placement[0].topLevel = 1;
        const WorkspaceValues before = captureValues(s.ws);
        c.run(s);
        const WorkspaceValues after = captureValues(s.ws);
        EXPECT_NE(after, before);
        EXPECT_EQ(s.ws.history.size(), 1u);
        EXPECT_EQ(s.ws.history.undoName(), c.name);
        EXPECT_EQ(s.ws.targetDoc.generated, 1);
        ASSERT_TRUE(undoEdit(s.ws, s.platform));
        EXPECT_EQ(captureValues(s.ws), before);
        // The target shown was made from the values undone.
        EXPECT_EQ(s.ws.targetDoc.generated, 0);
        ASSERT_TRUE(redoEdit(s.ws, s.platform));
        EXPECT_EQ(captureValues(s.ws), after);
    }
}

TEST(TargetCommands, ViewingSizeAndUnchangedValuesRecordNothing)
{
    Sources s(2);
    applyViewingSize(s.ws, s.platform, 50);
    applyMargins(s.ws, s.platform, s.ws.targetDoc.marginX, s.ws.targetDoc.marginY);
    s.platform.colourAnswers = { s.ws.targetDoc.backgroundColour };
    chooseBackgroundColour(s.ws, s.platform);
    EXPECT_EQ(s.ws.history.size(), 0u);
    EXPECT_EQ(s.observer.generated, 3);
}

// The dialog's Applies stay when it closes: one step per Apply that changed something.
TEST(BrightCont, EachApplyThatChangesIsAStep)
{
    Sources s(2);
    const WorkspaceValues opened = captureValues(s.ws);
    BrightContValues dialog(s.ws.targetDoc);
    dialog.slidersMoved(20, 100);
    dialog.apply(s.ws, s.platform);
    const WorkspaceValues first = captureValues(s.ws);
    dialog.apply(s.ws, s.platform); // the same values again
    dialog.slidersMoved(24, 100);
    dialog.ok(s.ws, s.platform);
    EXPECT_EQ(s.ws.history.size(), 2u);
    ASSERT_TRUE(undoEdit(s.ws, s.platform));
    EXPECT_EQ(captureValues(s.ws), first);
    ASSERT_TRUE(undoEdit(s.ws, s.platform));
    EXPECT_EQ(captureValues(s.ws), opened);
}

} // namespace
} // namespace tessary
