// The batch merge: listing and naming, the placement rules of the watermark, and whole runs on
// small files written here.
#include "align/mark_target_stale.h"
#include "app/long_operation.h"
#include "app/workspace.h"
#include "image/bmp_writer.h"
#include "image/cx_image.h"
#include "merge/batch_merge.h"
#include "merge/batch_watermark.h"
#include "merge/merge_fixtures.h"
#include "merge/transform_source.h"
#include "output/write_image_file.h"
#include "support/codec_image_util.h"
#include "support/gtest_platform.h"
#include "support/read_metadata.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::GTestPlatform;
using testing::Rgb;
using testing::ScratchFolder;

// Every pixel of a saved file, top line first.
std::vector<Rgb> pixelsOf(const std::string& path, int32_t& w, int32_t& h)
{
    CxImage saved;
    EXPECT_TRUE(saved.Load(path, *formatFromFileName(path))) << path << ": " << saved.GetLastErrorText();
    w = int32_t(saved.GetWidth());
    h = int32_t(saved.GetHeight());
    std::vector<Rgb> pixels;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixels.push_back(testing::colourAt(saved, uint32_t(x), uint32_t(y)));
    return pixels;
}

TEST(BatchFiles, ListsRegularImageFilesOfTheFolderOnlySortedAndLowerCasesTheResults)
{
    ScratchFolder folder;
    for (const char* name : { "c.png", "a.JPG", "b.jpeg", "notes.txt", "x.Tga", "ab" })
        std::ofstream(folder.file(name)) << "x";
    fs::create_directory(folder.file("d.png")); // a directory named like an image
    fs::create_directory(folder.file("output"));
    std::ofstream(folder.file("output/e.png")) << "x"; // results of an earlier run
    std::vector<std::string> names;
    ASSERT_TRUE(listBatchImages(folder.file(""), names));
    EXPECT_EQ(names, (std::vector<std::string> { "a.JPG", "b.jpeg", "c.png", "x.Tga" }));
    EXPECT_EQ(planBatchOutputs(names),
        (std::vector<BatchFile> {
            { "a.JPG", "a.jpg" }, { "b.jpeg", "b.jpeg" }, { "c.png", "c.png" }, { "x.Tga", "x.tga" } }));
    EXPECT_FALSE(listBatchImages(folder.file("missing"), names));
}

TEST(BatchFiles, NamesThatFallTogetherOnceLowerCasedNeverOverwriteEachOther)
{
    struct Case {
        std::vector<std::string> names;
        std::vector<std::string> outputs;
    };
    const Case cases[] = {
        { { "A.JPG", "a.jpg" }, { "A.JPG", "a.jpg" } },
        { { "B.PNG", "b.Png" }, { "b.png", "b.Png" } },
        { { "C.BMP", "C.bmp", "c.bmp" }, { "C.BMP", "C.bmp", "c.bmp" } },
    };
    for (const Case& c : cases) {
        std::vector<std::string> outputs;
        for (const BatchFile& f : planBatchOutputs(c.names))
            outputs.push_back(f.outputName);
        EXPECT_EQ(outputs, c.outputs) << c.names[0];
    }
}

TEST(BatchFiles, TargetFolderIsCreatedOrRefused)
{
    ScratchFolder folder;
    const std::string input = folder.file("in");
    fs::create_directory(input);
    std::ofstream(folder.file("file.png")) << "x";
    EXPECT_EQ(prepareTargetFolder(input + "/output", input), "");
    EXPECT_TRUE(fs::is_directory(input + "/output"));
    EXPECT_EQ(prepareTargetFolder(input + "/output", input), ""); // exists already
    EXPECT_EQ(prepareTargetFolder(input + "/.", input), kTargetIsInputFolder);
    EXPECT_EQ(prepareTargetFolder(folder.file("file.png"), input), kTargetNotADirectory);
    EXPECT_EQ(prepareTargetFolder(folder.file("file.png/sub"), input), kCannotCreateBatchDirectory);
}

TEST(BatchFiles, NewDirectoryNames)
{
    EXPECT_TRUE(validNewDirectoryName("results"));
    EXPECT_TRUE(validNewDirectoryName("..x"));
    EXPECT_TRUE(validNewDirectoryName(std::string(200, 'a')));
    for (const std::string& bad : { std::string(), std::string("."), std::string(".."), std::string("a/b"),
             std::string("a\0b", 3), std::string(201, 'a') })
        EXPECT_FALSE(validNewDirectoryName(bad)) << bad;

    ScratchFolder folder;
    std::string created;
    ASSERT_TRUE(createNamedFolder(folder.file(""), "new", created));
    EXPECT_EQ(created, folder.file("new"));
    EXPECT_TRUE(fs::is_directory(created));
    EXPECT_TRUE(createNamedFolder(folder.file(""), "new", created)); // exists: fine
    EXPECT_FALSE(createNamedFolder(folder.file(""), "..", created));
    EXPECT_FALSE(createNamedFolder(folder.file("missing/deeper"), "new", created));
    EXPECT_EQ(defaultBatchTargetDirectory("/pictures/holiday/a.jpg"), "/pictures/holiday/output");
}

TEST(BatchPlacement, CheckingABoxClearsTheBoxesItExcludes)
{
    BatchOptions o {};
    setBatchOption(o, kCenterHorizontal, true);
    setBatchOption(o, kPositionTop, true);
    setBatchOption(o, kPositionLeft, true);
    EXPECT_FALSE(o[kCenterHorizontal]);
    EXPECT_TRUE(o[kPositionLeft]);
    EXPECT_TRUE(o[kPositionTop]);
    setBatchOption(o, kCenterVertical, true);
    EXPECT_FALSE(o[kPositionTop]);
    EXPECT_TRUE(o[kPositionLeft]);
    setBatchOption(o, kPositionLeft, false); // unchecking clears nothing else
    EXPECT_TRUE(o[kCenterVertical]);
    for (BatchOption alone : { kStretchToFit, kAsSetInAlignWindow }) {
        BatchOptions all;
        all.fill(true);
        setBatchOption(all, alone, true);
        for (int i = 0; i < kBatchOptionCount; ++i)
            EXPECT_EQ(all[size_t(i)], i == alone) << i;
        setBatchOption(all, kPositionRight, true);
        EXPECT_FALSE(all[size_t(alone)]);
    }
}

TEST(BatchPlacement, WatermarkFollowsTheFileWhereverItLies)
{
    // The watermark (10 x 6) sat 3 right of and 4 above source 2 in the Align Window; the
    // file (40 x 30) lies at (5, 7).
    const SavedWatermark saved { 13, 24, 2048.0, 512.0, 10, 20 };
    struct Case {
        std::vector<BatchOption> boxes;
        BatchPosition expected;
    };
    const Case cases[] = {
        { {}, { 8, 11 } },
        { { kAsSetInAlignWindow }, { 8, 11 } },
        { { kPositionLeft }, { 5, 11 } },
        { { kPositionRight }, { 35, 11 } },
        { { kPositionBottom }, { 8, 7 } },
        { { kPositionTop }, { 8, 31 } },
        { { kCenterHorizontal, kCenterVertical }, { 20, 19 } },
        { { kPositionRight, kPositionTop }, { 35, 31 } },
        { { kStretchToFit }, { 5, 7 } },
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        BatchOptions o {};
        for (BatchOption b : cases[i].boxes)
            setBatchOption(o, b, true);
        const BatchPosition at = batchWatermarkPosition(o, saved, 5, 7, { 40, 30 }, { 10, 6 });
        EXPECT_EQ(at, cases[i].expected) << "case " << i << ": " << at.posX << "," << at.posY;
    }
}

TEST(BatchPlacement, OnlyStretchChangesTheScaleAndItIsNeverShort)
{
    const SavedWatermark saved { 0, 0, 700.0, 900.0, 0, 0 };
    BatchOptions o {};
    setBatchOption(o, kPositionRight, true);
    const BatchScale kept = batchWatermarkScale(o, saved, { 3, 7 }, { 10, 14 });
    EXPECT_EQ(kept.scaleX, 700.0);
    EXPECT_EQ(kept.scaleY, 900.0);
    setBatchOption(o, kStretchToFit, true);
    const BatchScale s = batchWatermarkScale(o, saved, { 3, 7 }, { 10, 14 });
    EXPECT_EQ(s.scaleX, 3414.0); // trunc(1024 x 10 / 3) = 3413 would give 9 pixels
    EXPECT_EQ(s.scaleY, 2048.0);
}

// A workspace whose source 1 is a 2 x 2 watermark of colour kMark and whose source 2 is a file
// of the input folder, with the files p.bmp (4 x 3) and q.bmp (5 x 2) there.
class BatchRunTest : public ::testing::Test {
protected:
    static constexpr BgrColour kMark { 0, 100, 200 }; // blue, green, red
    static constexpr BgrColour kP { 200, 100, 0 };
    static constexpr BgrColour kQ { 80, 0, 40 };

    void SetUp() override
    {
        input = folder.file("in");
        fs::create_directory(input);
        ASSERT_TRUE(testing::writeSolidImage(input + "/p.bmp", 4, 3, kP));
        ASSERT_TRUE(testing::writeSolidImage(input + "/Q.BMP", 5, 2, kQ));
        auto mark = std::make_unique<VIrorozIzi>();
        mark->image = testing::solidImage24(2, 2, kMark);
        mark->imageWidth = mark->imageHeight = 2;
        mark->title = "mark.bmp";
        ws.documents[0] = std::move(mark);
        auto file = std::make_unique<VIrorozIzi>();
        file->slotIndex = 1;
        file->filePath = input + "/p.bmp";
        file->image = testing::solidImage24(4, 3, kP);
        ws.documents[1] = std::move(file);
        ws.sourceCount = 2;
        ws.alignDoc.placement[0].posX = 7; // the user's own placement, which the run must leave alone
        ws.alignDoc.placement[1].posX = 2;
        settings.inputFolder = input;
        settings.targetFolder = input + "/output";
    }

    std::vector<Rgb> result(const std::string& name, int32_t& w, int32_t& h)
    {
        return pixelsOf(settings.targetFolder + "/" + name, w, h);
    }

    ScratchFolder folder;
    std::string input;
    MergeWorkspace ws;
    GTestPlatform platform;
    BatchSettings settings;
};

Rgb average(BgrColour a, BgrColour b)
{
    return { (a.red + b.red) / 2, (a.green + b.green) / 2, (a.blue + b.blue) / 2 };
}
Rgb rgb(BgrColour c)
{
    return { c.red, c.green, c.blue };
}

TEST_F(BatchRunTest, EachResultHoldsOnlyItsOwnFileAndTheWatermark)
{
    setBatchOption(settings.options, kPositionRight, true);
    setBatchOption(settings.options, kPositionTop, true);
    const BatchSummary summary = runBatchMerge(ws, settings, platform);
    EXPECT_TRUE(summary.started);
    EXPECT_FALSE(summary.aborted);
    EXPECT_EQ(summary.written, (std::vector<std::string> { "q.bmp", "p.bmp" })); // "Q.BMP" sorts first
    EXPECT_TRUE(summary.failed.empty());
    EXPECT_EQ(platform.messages.size(), 0u);

    struct Expect {
        const char* name;
        int32_t w, h;
        BgrColour colour;
    };
    for (const Expect& e : { Expect { "p.bmp", 4, 3, kP }, Expect { "q.bmp", 5, 2, kQ } }) {
        SCOPED_TRACE(e.name);
        int32_t w = 0, h = 0;
        const std::vector<Rgb> pixels = result(e.name, w, h);
        ASSERT_EQ(w, e.w);
        ASSERT_EQ(h, e.h);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                // The watermark covers the top two lines of the rightmost two columns.
                const bool marked = x >= w - 2 && y < 2;
                EXPECT_EQ(pixels[size_t(y * w + x)], marked ? average(kMark, e.colour) : rgb(e.colour))
                    << x << "," << y;
            }
    }
    // The user's sources and placements are as they were.
    EXPECT_EQ(ws.sourceCount, 2);
    EXPECT_EQ(ws.alignDoc.placement[0].posX, 7);
    EXPECT_EQ(ws.alignDoc.placement[1].posX, 2);
    EXPECT_EQ(ws.source(2)->filePath, input + "/p.bmp");
    EXPECT_FALSE(ws.targetDoc.targetImage);
}

// Each result keeps its own file's metadata, made true of the result; unless told not to.
TEST_F(BatchRunTest, EachResultKeepsItsOwnFilesMetadataUnlessStripped)
{
    for (const char* name : { "tagged-a.jpg", "tagged-b.jpg", "broken-exif.jpg" })
        fs::copy_file(testing::metadataFixture(name), input + "/" + name);
    const char* const kept[] = { "Exif.Image.Artist", "Exif.Image.Copyright", "Exif.Photo.DateTimeOriginal",
        "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLongitude" };
    ASSERT_EQ(runBatchMerge(ws, settings, platform).written.size(), 5u);
    // A file whose EXIF cannot be read is merged and written all the same, without it.
    EXPECT_TRUE(testing::readTags(settings.targetFolder + "/broken-exif.jpg").empty());
    for (const char* name : { "tagged-a.jpg", "tagged-b.jpg" }) {
        SCOPED_TRACE(name);
        const testing::Tags source = testing::readTags(input + "/" + name);
        const testing::Tags result = testing::readTags(settings.targetFolder + "/" + name);
        for (const char* key : kept)
            EXPECT_EQ(result.count(key) ? result.at(key) : "(missing)", source.at(key)) << key;
        EXPECT_EQ(result.at("Exif.Image.Orientation"), "1");
        EXPECT_FALSE(testing::anyTag(result, "Exif.Thumbnail."));
        int32_t w = 0, h = 0;
        pixelsOf(settings.targetFolder + "/" + name, w, h);
        EXPECT_EQ(result.at("Exif.Photo.PixelXDimension"), std::to_string(w));
        EXPECT_EQ(result.at("Exif.Photo.PixelYDimension"), std::to_string(h));
    }
    // The tagged-a result is different from tagged-b's: each file has its own.
    EXPECT_NE(testing::readTags(settings.targetFolder + "/tagged-a.jpg").at("Exif.Image.Artist"),
        testing::readTags(settings.targetFolder + "/tagged-b.jpg").at("Exif.Image.Artist"));

    settings.keepMetadata = false;
    ASSERT_EQ(runBatchMerge(ws, settings, platform).written.size(), 5u);
    for (const char* name : { "tagged-a.jpg", "tagged-b.jpg" })
        EXPECT_TRUE(testing::readTags(settings.targetFolder + "/" + name).empty()) << name;
}

TEST_F(BatchRunTest, ChosenMergeTypeAndStretchToFit)
{
    settings.mergeType = kMergeBrightest;
    ws.targetDoc.thresholdFuzziness = 100; // the user's target settings are used: the brightest all but wins
    setBatchOption(settings.options, kStretchToFit, true);
    ASSERT_EQ(runBatchMerge(ws, settings, platform).written.size(), 2u);
    int32_t w = 0, h = 0;
    const std::vector<Rgb> q = result("q.bmp", w, h);
    ASSERT_EQ(w, 5);
    ASSERT_EQ(h, 2);
    // The watermark is stretched over the whole file; Brightest all but picks it over the dark
    // file, where Average would give (120, 50, 40).
    for (const Rgb& p : q) {
        EXPECT_NEAR(p.r, kMark.red, 1);
        EXPECT_NEAR(p.g, kMark.green, 1);
        EXPECT_NEAR(p.b, kMark.blue, 1);
    }
}

TEST_F(BatchRunTest, FailedFilesAreListedWithTheirReasonAndTheRunGoesOn)
{
    std::ofstream(input + "/bad.png") << "not an image";
    const BatchSummary summary = runBatchMerge(ws, settings, platform);
    EXPECT_EQ(summary.listed, 3);
    EXPECT_EQ(summary.written, (std::vector<std::string> { "q.bmp", "p.bmp" }));
    ASSERT_EQ(summary.failed.size(), 1u);
    EXPECT_EQ(summary.failed[0].name, "bad.png");
    EXPECT_NE(summary.failed[0].reason.find("Unable to load this image file"), std::string::npos)
        << summary.failed[0].reason;
    const std::string text = batchSummaryText(summary, settings.targetFolder);
    EXPECT_EQ(text.rfind(kBatchComplete, 0), 0u);
    EXPECT_NE(text.find("2 files of 3 written to " + settings.targetFolder), std::string::npos);
    EXPECT_NE(text.find("1 failed:\nbad.png: "), std::string::npos) << text;
}

TEST_F(BatchRunTest, EscBetweenFilesStopsTheRunWhenTheUserSaysYes)
{
    platform.escapeDownPolls = 1;
    platform.expectMessage(kQuitQuestionText, MessageAnswer::No);
    EXPECT_EQ(runBatchMerge(ws, settings, platform).written.size(), 2u);

    // Esc held when the second file is reached.
    struct StopAtSecond final : BatchListener {
        GTestPlatform& p;
        explicit StopAtSecond(GTestPlatform& platform)
            : p(platform)
        {
        }
        void fileStarted(int index, int, const BatchFile&) override
        {
            if (index == 1)
                p.escapeDownPolls = 1;
        }
        void fileFinished(int, int, const BatchFile&, bool) override { }
    } stopper(platform);
    fs::remove_all(settings.targetFolder);
    platform.expectMessage(kQuitQuestionText, MessageAnswer::Yes);
    const BatchSummary summary = runBatchMerge(ws, settings, platform, &stopper);
    EXPECT_TRUE(summary.aborted);
    EXPECT_EQ(summary.written, (std::vector<std::string> { "q.bmp" }));
    EXPECT_FALSE(fs::exists(settings.targetFolder + "/p.bmp"));
    EXPECT_EQ(batchSummaryText(summary, settings.targetFolder).rfind(kBatchStopped, 0), 0u);
}

TEST_F(BatchRunTest, EscInsideAFileStopsTheRun)
{
    settings.pollInterval = std::chrono::milliseconds(0);
    // Polls: one before the file, then the transformation's per-row polls.
    int polls = 0;
    platform.duringPoll = [&] {
        if (++polls == 3)
            platform.escapeDownPolls = 1;
    };
    platform.expectMessage(kQuitQuestionText, MessageAnswer::Yes);
    const BatchSummary summary = runBatchMerge(ws, settings, platform);
    EXPECT_TRUE(summary.aborted);
    EXPECT_TRUE(summary.written.empty());
    EXPECT_TRUE(summary.failed.empty());
    EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(BatchRunTest, WithinAFileEscIsLookedAtOncePerIntervalAndBetweenFilesAlways)
{
    settings.pollInterval = std::chrono::hours(1);
    ASSERT_EQ(runBatchMerge(ws, settings, platform).written.size(), 2u);
    EXPECT_EQ(platform.eventPumps, 2);
    platform.eventPumps = 0;
    settings.pollInterval = std::chrono::milliseconds(0);
    ASSERT_EQ(runBatchMerge(ws, settings, platform).written.size(), 2u);
    EXPECT_GT(platform.eventPumps, 10); // every row of every transformation
}

TEST_F(BatchRunTest, RefusedBeforeAnyFile)
{
    settings.targetFolder = input;
    platform.expectMessage(kTargetIsInputFolder);
    EXPECT_FALSE(runBatchMerge(ws, settings, platform).started);

    settings.inputFolder = folder.file("empty");
    fs::create_directory(settings.inputFolder);
    settings.targetFolder = folder.file("out");
    platform.expectMessage(kImageFilesNotFound);
    EXPECT_FALSE(runBatchMerge(ws, settings, platform).started);

    EXPECT_TRUE(batchMergePossible(ws));
    ws.source(2)->sourceKind = kSourceText;
    EXPECT_FALSE(batchMergePossible(ws));
    ws.source(2)->sourceKind = kSourceImageFile;
    ws.sourceCount = 1;
    EXPECT_FALSE(batchMergePossible(ws));
}

TEST_F(BatchRunTest, ChangeWatermarkReplacesSource1OnlyOnceTheNewFileLoaded)
{
    ws.alignDoc.alignViewWidth = 300;
    ws.alignDoc.alignViewHeight = 200;
    ASSERT_EQ(transformSource(ws, platform, 1), kTransformDone);
    ASSERT_EQ(transformSource(ws, platform, 2), kTransformDone);
    ws.alignDoc.placement[0].scaleX = 2048.0;

    platform.openAnswers.push_back(std::nullopt); // cancelled
    EXPECT_FALSE(changeWatermark(ws, platform));
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].title, "Select watermarking image file");
    EXPECT_EQ(ws.hideLoadButtons, 0);
    EXPECT_EQ(ws.source(1)->title, "mark.bmp");
    EXPECT_EQ(ws.source(1)->image.width(), 2);

    ASSERT_TRUE(testing::writeSolidImage(folder.file("new.bmp"), 3, 5, kQ));
    platform.openAnswers.push_back(FileDialogResult { folder.file("new.bmp"), 1 });
    EXPECT_TRUE(changeWatermark(ws, platform));
    const VIrorozIzi& mark = *ws.source(1);
    EXPECT_EQ(mark.title, "new.bmp");
    EXPECT_EQ(mark.filePath, folder.file("new.bmp"));
    EXPECT_EQ(mark.image.width(), 3);
    EXPECT_EQ(mark.imageHeight, 5);
    EXPECT_EQ(ws.targetDoc.transformed[0].width(), 6); // the placement stays: 200 %
    EXPECT_EQ(ws.targetDoc.title, kTargetStaleTitle);
}

} // namespace
} // namespace tessary
