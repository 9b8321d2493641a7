// Save As keeps the metadata of the source the user chooses: which sources are offered, which
// one is preselected, what the saved file, zone and tiles get, and what is remembered.
#include "app/workspace.h"
#include "merge/merge_fixtures.h"
#include "output/metadata_source.h"
#include "output/save_target.h"
#include "support/codec_image_util.h"
#include "support/gtest_platform.h"
#include "support/read_metadata.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::readTags;
using testing::Tags;

struct Source {
    SourceKind kind;
    const char* file; // a fixture of tests/data/metadata, or nothing
    int32_t w, h;
    bool topLayer;
};

void addSources(MergeWorkspace& ws, const std::vector<Source>& sources)
{
    for (const Source& s : sources) {
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = ws.sourceCount;
        doc->sourceKind = s.kind;
        doc->imageWidth = s.w;
        doc->imageHeight = s.h;
        if (s.file) {
            doc->filePath = testing::metadataFixture(s.file);
            doc->title = s.file;
        } else {
            doc->title = s.kind == kSourceText ? "Text" : "Pasted Image";
        }
        ws.alignDoc.placement[size_t(ws.sourceCount)].topLevel = s.topLayer ? 0 : -1;
        ws.documents[size_t(ws.sourceCount++)] = std::move(doc);
    }
}

TEST(KeepMetadata, OffersImageFileSourcesAndPreselectsTheLargestOutsideTheTopLayers)
{
    struct Case {
        const char* what;
        std::vector<Source> sources;
        bool keep;
        std::vector<int> numbers;
        int preselected;
    };
    const Case cases[] = {
        { "no file sources", { { kSourceText, nullptr, 90, 90, false }, { kSourcePaste, nullptr, 90, 90, false } },
            true, { 0 }, 0 },
        { "the watermark on top is passed over",
            { { kSourceImageFile, "tagged-a.jpg", 90, 90, true }, { kSourceText, nullptr, 99, 99, false },
                { kSourceImageFile, "tagged-b.jpg", 20, 10, false }, { kSourceImageFile, "tagged-a.jpg", 10, 21, false } },
            true, { 0, 1, 3, 4 }, 3 },
        { "equal areas: the lower number",
            { { kSourceImageFile, "tagged-a.jpg", 10, 20, false }, { kSourceImageFile, "tagged-b.jpg", 20, 10, false } },
            true, { 0, 1, 2 }, 1 },
        { "only a file in the top layers", { { kSourceImageFile, "tagged-a.jpg", 90, 90, true } }, true, { 0, 1 }, 0 },
        { "not kept last time", { { kSourceImageFile, "tagged-a.jpg", 90, 90, false } }, false, { 0, 1 }, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MergeWorkspace ws;
        addSources(ws, c.sources);
        const MetadataSources offered = metadataSources(ws, c.keep);
        EXPECT_EQ(offered.numbers, c.numbers);
        EXPECT_EQ(offered.preselected, c.preselected);
        ASSERT_EQ(offered.labels.size(), offered.numbers.size());
        EXPECT_EQ(offered.labels[0], "none");
        for (size_t i = 1; i < offered.numbers.size(); ++i)
            EXPECT_EQ(offered.labels[i], std::to_string(offered.numbers[i]) + ": " + ws.source(offered.numbers[i])->title);
    }
}

struct Saving {
    MergeWorkspace ws;
    testing::GTestPlatform platform;
    testing::ScratchFolder folder;

    Saving()
    {
        ws.targetDoc.targetImage = testing::solidImage24(12, 8, BgrColour { 10, 20, 30 }).dib;
        ws.targetDoc.generated = 1;
        ws.targetDoc.viewWidth = 12;
        ws.targetDoc.viewHeight = 8;
        // Source 1, the watermark, lies on top; source 3 is the picture.
        addSources(ws,
            { { kSourceImageFile, "tagged-a.jpg", 40, 40, true }, { kSourceText, nullptr, 90, 90, false },
                { kSourceImageFile, "tagged-b.jpg", 12, 8, false } });
    }
    // Saves as `name`, leaving the choice as offered (-1) or picking entry `entry`.
    Tags save(const std::string& name, int entry)
    {
        platform.saveAnswers.push_back(FileDialogResult { folder.file(name), 1, entry });
        EXPECT_TRUE(saveTargetAs(ws, platform));
        return readTags(folder.file(name));
    }
};

TEST(KeepMetadata, SaveAsKeepsTheChosenSourcesMetadataAndRemembersWhetherToKeep)
{
    Saving s;
    const std::string artistA = readTags(testing::metadataFixture("tagged-a.jpg")).at("Exif.Image.Artist");
    const std::string artistB = readTags(testing::metadataFixture("tagged-b.jpg")).at("Exif.Image.Artist");
    ASSERT_NE(artistA, artistB);

    const Tags offered = s.save("offered.jpg", -1);
    const FileDialogRequest& request = s.platform.saveRequests.back();
    EXPECT_EQ(request.choiceLabel, "Keep metadata from:");
    EXPECT_EQ(request.choices, (std::vector<std::string> { "none", "1: tagged-a.jpg", "3: tagged-b.jpg" }));
    EXPECT_EQ(request.choiceIndex, 2);
    EXPECT_EQ(offered.at("Exif.Image.Artist"), artistB);
    EXPECT_EQ(offered.at("Exif.Photo.PixelXDimension"), "12");
    EXPECT_EQ(s.platform.intSettings["Configure/Keep Metadata"], 1);

    // Source 1 chosen by hand; PNG holds metadata too.
    const Tags first = s.save("first.png", 1);
    EXPECT_EQ(first.at("Exif.Image.Artist"), artistA);
    EXPECT_EQ(first.at("Exif.Image.Orientation"), "1");

    // "none": nothing kept, and next time "none" is offered first.
    EXPECT_EQ(s.save("none.jpg", 0).count("Exif.Image.Artist"), 0u);
    EXPECT_EQ(s.platform.intSettings["Configure/Keep Metadata"], 0);
    EXPECT_EQ(s.save("again.jpg", -1).count("Exif.Image.Artist"), 0u);
    EXPECT_EQ(s.platform.saveRequests.back().choiceIndex, 0);
}

TEST(KeepMetadata, TilesAndZonesGetTheMetadataWithTheirOwnSize)
{
    Saving s;
    s.platform.saveAnswers.push_back(FileDialogResult { s.folder.file("tile.jpg"), 1, 2 });
    ASSERT_TRUE(saveTilesAs(s.ws, s.platform, 2, 1));
    for (const char* tile : { "tile00.jpg", "tile10.jpg" }) {
        SCOPED_TRACE(tile);
        const Tags tags = readTags(s.folder.file(tile));
        EXPECT_EQ(tags.count("Exif.Image.Artist"), 1u);
        EXPECT_EQ(tags.at("Exif.Photo.PixelXDimension"), "6");
        EXPECT_EQ(tags.at("Exif.Photo.PixelYDimension"), "8");
    }
}

} // namespace
} // namespace tessary
