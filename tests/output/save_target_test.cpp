#include "output/save_target.h"

#include "app/settings.h"
#include "app/workspace.h"
#include "image/atomic_file.h"
#include "merge/unmasked_image.h"
#include "output/extract_target_image.h"
#include "output/tile_geometry.h"
#include "support/codec_image_util.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace tessary {
namespace {

using testing::colourAt;
using testing::GTestPlatform;
using testing::ScratchFolder;
namespace fs = std::filesystem;

// Target pixel (x, y from the top) in a pattern that tells every column and row apart.
testing::Rgb patternAt(int32_t x, int32_t y)
{
    return { x % 251, y % 241, (x / 251) * 16 + (y / 241) };
}

// A workspace with a generated W x H target in the pattern.
struct Saving {
    MergeWorkspace ws;
    GTestPlatform platform;
    ScratchFolder folder;

    Saving(int32_t w, int32_t h)
    {
        MaskedDib image;
        if (allocateUnmaskedImage(h, w, image))
            throw std::runtime_error("allocation failed");
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* row = image.dib->row(h - 1 - y);
            for (int32_t x = 0; x < w; ++x) {
                const testing::Rgb c = patternAt(x, y);
                row[3 * x] = uint8_t(c.b);
                row[3 * x + 1] = uint8_t(c.g);
                row[3 * x + 2] = uint8_t(c.r);
            }
        }
        ws.targetDoc.targetImage = std::move(image.dib);
        ws.targetDoc.generated = 1;
        ws.targetDoc.viewWidth = w;
        ws.targetDoc.viewHeight = h;
    }
    // The user picks `name` in the scratch folder with filter `index`.
    void choose(const std::string& name, int index)
    {
        platform.saveAnswers.push_back(FileDialogResult { folder.file(name), index });
    }
    std::string dir() const { return folder.file(""); }
};

// The file at `path` decoded as `format` shows the target's pattern from (left, top) on, w x h.
void expectPattern(const std::string& path, uint32_t format, int32_t left, int32_t top, int32_t w, int32_t h)
{
    CxImage image(path, format);
    ASSERT_TRUE(image.IsValid()) << path << ": " << image.GetLastErrorText();
    EXPECT_EQ(image.GetType(), format) << path;
    ASSERT_EQ(image.GetWidth(), w) << path;
    ASSERT_EQ(image.GetHeight(), h) << path;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            if (colourAt(image, uint32_t(x), uint32_t(y)) != patternAt(left + x, top + y)) {
                ADD_FAILURE() << path << " differs at " << x << "," << y;
                return;
            }
}

TEST(SaveTarget, ExtensionRules)
{
    struct Case {
        const char* chosen;
        int filter;
        const char* fileName;
        const char* extension;
    } cases[] = {
        { "/pics/photo", 3, "photo.png", "png" },
        { "/pics/photo.gif", 1, "photo.gif.bmp", "bmp" },
        { "/pics/photo.JPG", 1, "photo.JPG", "jpg" },
        { "/pics/photo.TGA", 3, "photo.TGA", "tga" },
        { "/pics/photo.png", 2, "photo.png", "png" },
        { "/pics/photo.jpeg", 2, "photo.jpeg", "jpeg" },
        { "/pics/scan.TIFF", 1, "scan.TIFF", "tiff" },
        { "/pics/photo.jpe", 4, "photo.jpe", "jpe" },
        { "/pics/my.photo", 6, "my.photo.pcx", "pcx" },
        { "/pics/photo.", 4, "photo..tif", "tif" },
        { "/pics/photo", 9, "photo.bmp", "bmp" },
    };
    for (const Case& c : cases) {
        const SaveName name = resolveSaveName(c.chosen, c.filter);
        EXPECT_EQ(name.folder, "/pics/") << c.chosen;
        EXPECT_EQ(name.fileName, c.fileName) << c.chosen;
        EXPECT_EQ(name.extension, c.extension) << c.chosen;
        EXPECT_EQ(name.path(), std::string("/pics/") + c.fileName);
    }
}

TEST(SaveTarget, SaveAsAsksWithTheFilterAndRemembersFolderAndFilter)
{
    Saving s(120, 90);
    s.platform.textSettings["Configure/Last Save Directory"] = "/remembered/";
    s.platform.intSettings["Configure/Last Save Extension"] = 4;
    s.choose("photo", 3);
    ASSERT_TRUE(saveTargetAs(s.ws, s.platform));
    ASSERT_EQ(s.platform.saveRequests.size(), 1u);
    const FileDialogRequest& request = s.platform.saveRequests[0];
    EXPECT_EQ(request.title, "Save Target Image");
    EXPECT_EQ(request.filter,
        "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg)|*.jpg|Png Files (*.png)|*.png|Tif Files "
        "(*.tif)|*.tif|Tga "
        "Files (*.tga)|*.tga|Pcx Files (*.pcx)|*.pcx||");
    EXPECT_EQ(request.initialFolder, "/remembered/");
    EXPECT_EQ(request.filterIndex, 4);
    EXPECT_EQ(s.platform.intSettings["Configure/Last Save Extension"], 3);
    EXPECT_EQ(s.platform.textSettings["Configure/Last Save Directory"], s.dir());
    expectPattern(s.folder.file("photo.png"), CXIMAGE_FORMAT_PNG, 0, 0, 120, 90);
    EXPECT_FALSE(fs::exists(s.folder.file("photo")));
    // Said where it does not stand in the way.
    EXPECT_EQ(s.platform.statusMessages, (std::vector<std::string> { "Saved photo.png (120 \u00D7 90)" }));

    // Nothing remembered: no folder, the first filter.
    Saving fresh(10, 10);
    fresh.platform.saveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(saveTargetAs(fresh.ws, fresh.platform));
    EXPECT_EQ(fresh.platform.saveRequests[0].initialFolder, "");
    EXPECT_EQ(fresh.platform.saveRequests[0].filterIndex, 0);
    EXPECT_TRUE(fresh.platform.intSettings.empty());
    EXPECT_TRUE(fresh.platform.textSettings.empty());
}

TEST(SaveTarget, TheFileNameChoosesTheFormat)
{
    Saving s(70, 66);
    s.choose("photo.gif", 1);
    s.choose("photo.JPG", 1);
    s.choose("photo.TGA", 3);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(saveTargetAs(s.ws, s.platform));
    expectPattern(s.folder.file("photo.gif.bmp"), CXIMAGE_FORMAT_BMP, 0, 0, 70, 66);
    // Written as typed, in JPEG (lossy: the size and the start of image marker tell).
    const std::vector<uint8_t> jpeg = ScratchFolder::read(s.folder.file("photo.JPG"));
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    CxImage decoded(s.folder.file("photo.JPG"), CXIMAGE_FORMAT_JPG);
    EXPECT_EQ(decoded.GetWidth(), 70);
    expectPattern(s.folder.file("photo.TGA"), CXIMAGE_FORMAT_TGA, 0, 0, 70, 66);
    // Under exactly the names typed or extended, nothing else.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(s.dir()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "photo.JPG", "photo.TGA", "photo.gif.bmp" }));
}

TEST(SaveTarget, AZoneAtHalfSizeIsSavedAtFullResolution)
{
    Saving s(400, 300);
    s.ws.targetDoc.viewPercentX = s.ws.targetDoc.viewPercentY = 50;
    s.ws.targetDoc.zoneSelected = 1;
    // 100 x 80 view pixels, dragged from the bottom right to the top left.
    s.ws.targetView.zoneAnchor = { 120, 95 };
    s.ws.targetView.zoneCorner = { 20, 15 };
    s.choose("zone.bmp", 1);
    ASSERT_TRUE(saveTargetAs(s.ws, s.platform));
    EXPECT_EQ(s.platform.saveRequests[0].title, "Save Target Image - Zone area only 200 X 160");
    expectPattern(s.folder.file("zone.bmp"), CXIMAGE_FORMAT_BMP, 40, 30, 200, 160);
    EXPECT_EQ(s.platform.statusMessages, (std::vector<std::string> { "Saved zone.bmp (200 \u00D7 160)" }));
    // A plain Save As leaves the zone selected.
    EXPECT_EQ(s.ws.targetDoc.zoneSelected, 1);
}

TEST(SaveTarget, SaveZoneClearsTheZoneEvenWhenCancelled)
{
    Saving s(300, 200);
    s.ws.targetView.zoneAnchor = { 10, 20 };
    s.ws.targetView.zoneCorner = { 110, 120 };
    s.platform.saveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(saveZoneToFile(s.ws, s.platform));
    EXPECT_EQ(s.platform.saveRequests[0].title, "Save Target Image - Zone area only 100 X 100");
    EXPECT_EQ(s.ws.targetDoc.zoneSelected, 0);
    EXPECT_EQ(s.ws.targetView.zoneAnchor, ViewPoint {});
    EXPECT_EQ(s.ws.targetView.zoneCorner, ViewPoint {});

    s.ws.targetView.zoneAnchor = { 10, 20 };
    s.ws.targetView.zoneCorner = { 110, 120 };
    s.choose("z.pcx", 6);
    EXPECT_TRUE(saveZoneToFile(s.ws, s.platform));
    expectPattern(s.folder.file("z.pcx"), CXIMAGE_FORMAT_PCX, 10, 20, 100, 100);
    EXPECT_EQ(s.ws.targetDoc.zoneSelected, 0);
    EXPECT_EQ(s.ws.targetView.zoneCorner, ViewPoint {});
}

TEST(SaveTarget, TileGeometryCoversTheTargetExactly)
{
    const int32_t widths[] = { 333, 334, 334 };
    const int32_t lefts[] = { 0, 333, 667 };
    for (int32_t c = 0; c < 3; ++c)
        for (int32_t r = 0; r < 2; ++r)
            EXPECT_EQ(tileRect(c, r, 1001, 600, 3, 2), (ImageRect { lefts[c], 300 * r, widths[c], 300 }));
    EXPECT_EQ(tileRect(0, 0, 1001, 600, 1, 1), (ImageRect { 0, 0, 1001, 600 }));
    EXPECT_EQ(tileRect(9, 9, 7, 5, 10, 10), (ImageRect { 6, 4, 1, 1 }));
    EXPECT_EQ(tileRect(0, 0, 7, 5, 10, 10), (ImageRect { 0, 0, 0, 0 }));
    EXPECT_EQ(tileFileName("/p/photo", 2, 1, "jpg"), "/p/photo21.jpg");
}

TEST(SaveTarget, ThreeByTwoTilesOfA1001By600Target)
{
    Saving s(1001, 600);
    s.ws.targetDoc.zoneSelected = 1;
    s.ws.targetView.zoneAnchor = { 0, 0 };
    s.ws.targetView.zoneCorner = { 100, 100 };
    s.choose("photo.bmp", 1);
    ASSERT_TRUE(saveTilesAs(s.ws, s.platform, 3, 2));
    EXPECT_EQ(s.platform.saveRequests[0].title, "Save Tiles Target Images");
    EXPECT_EQ(s.ws.targetDoc.savingTiles, 0);
    EXPECT_EQ(s.ws.targetDoc.tilesAcross, 3);
    EXPECT_EQ(s.ws.targetDoc.tilesDown, 2);
    EXPECT_EQ(s.ws.targetDoc.zoneSelected, 0);
    const int32_t widths[] = { 333, 334, 334 };
    const int32_t lefts[] = { 0, 333, 667 };
    for (int32_t r = 0; r < 2; ++r)
        for (int32_t c = 0; c < 3; ++c)
            expectPattern(s.folder.file("photo" + std::to_string(c) + std::to_string(r) + ".bmp"),
                CXIMAGE_FORMAT_BMP, lefts[c], 300 * r, widths[c], 300);
    // Only the tiles: the name chosen is not written itself.
    EXPECT_FALSE(fs::exists(s.folder.file("photo.bmp")));
    EXPECT_EQ(std::distance(fs::directory_iterator(s.dir()), fs::directory_iterator {}), 6);
    EXPECT_EQ(s.platform.statusMessages,
        (std::vector<std::string> { "Saved 6 of 6 tiles, photo00.bmp to photo21.bmp (1001 \u00D7 600 in all)" }));
}

TEST(SaveTarget, OneByOneTileHoldsTheWholeTarget)
{
    Saving s(90, 70);
    s.choose("whole", 3);
    ASSERT_TRUE(saveTilesAs(s.ws, s.platform, 1, 1));
    expectPattern(s.folder.file("whole00.png"), CXIMAGE_FORMAT_PNG, 0, 0, 90, 70);
    EXPECT_EQ(std::distance(fs::directory_iterator(s.dir()), fs::directory_iterator {}), 1);

    // Cancelled in the file chooser: nothing written, the flag back to 0, the zone kept.
    s.ws.targetDoc.zoneSelected = 1;
    s.platform.saveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(saveTilesAs(s.ws, s.platform, 2, 2));
    EXPECT_EQ(s.ws.targetDoc.savingTiles, 0);
    EXPECT_EQ(s.ws.targetDoc.zoneSelected, 1);
}

TEST(SaveTarget, AFailedFileIsReportedAndTheTilesGoOn)
{
    Saving s(80, 80);
    // A folder that does not exist: every file fails, each once reported, BMP included.
    s.platform.saveAnswers.push_back(FileDialogResult { s.folder.file("missing/photo.png"), 3 });
    s.platform.expectMessage("Failed the file save!");
    s.platform.expectMessage("Failed the file save!");
    ASSERT_TRUE(saveTilesAs(s.ws, s.platform, 2, 1));
    EXPECT_EQ(s.platform.messages[0].icon, MessageIcon::Plain);
    EXPECT_EQ(s.platform.messages[0].buttons, MessageButtons::Ok);

    s.platform.saveAnswers.push_back(FileDialogResult { s.folder.file("missing/photo.bmp"), 1 });
    s.platform.expectMessage("Failed the file save!");
    ASSERT_TRUE(saveTargetAs(s.ws, s.platform));
    EXPECT_EQ(s.platform.messages.size(), 3u);
    // Nothing was saved, so nothing says it was.
    EXPECT_TRUE(s.platform.statusMessages.empty());
}

TEST(SaveTarget, AFolderAtTheNameIsSaidAsSuchAndStaysAFolder)
{
    Saving s(8, 8);
    const std::string path = s.folder.file("photo.png");
    std::filesystem::create_directory(path);
    const std::string why = saveRefusal(path);
    ASSERT_NE(why.find(path), std::string::npos) << why;
    s.platform.saveAnswers.push_back(FileDialogResult { path, 3 });
    s.platform.expectMessage(why + "\n\nFailed the file save!");
    ASSERT_TRUE(saveTargetAs(s.ws, s.platform));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(SaveTarget, AFileWrittenUnderAnotherNameIsOnlyReplacedWhenTheUserAgrees)
{
    Saving s(30, 20);
    const std::vector<uint8_t> previous = { 'k', 'e', 'e', 'p' };
    const std::string written = s.folder.write("photo.png", previous);

    // "photo" with the Png filter writes photo.png, which the chooser never asked about.
    s.choose("photo", 3);
    s.platform.expectMessage("photo.png already exists. Do you want to replace it?", MessageAnswer::No);
    EXPECT_FALSE(saveTargetAs(s.ws, s.platform));
    EXPECT_EQ(ScratchFolder::read(written), previous);
    EXPECT_EQ(s.platform.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(s.platform.messages[0].buttons, MessageButtons::YesNo);

    s.choose("photo", 3);
    s.platform.expectMessage("photo.png already exists. Do you want to replace it?", MessageAnswer::Yes);
    EXPECT_TRUE(saveTargetAs(s.ws, s.platform));
    expectPattern(written, CXIMAGE_FORMAT_PNG, 0, 0, 30, 20);

    // The name the chooser asked about, or a name nobody holds: no question.
    s.choose("photo.png", 3);
    s.choose("other", 3);
    EXPECT_TRUE(saveTargetAs(s.ws, s.platform));
    EXPECT_TRUE(saveTargetAs(s.ws, s.platform));
    EXPECT_EQ(s.platform.messages.size(), 2u);
    expectPattern(s.folder.file("other.png"), CXIMAGE_FORMAT_PNG, 0, 0, 30, 20);
}

TEST(SaveTarget, OneQuestionBeforeTheFirstTileWhenTileFilesExist)
{
    const std::vector<uint8_t> previous = { 'k', 'e', 'e', 'p' };
    struct Case {
        std::vector<const char*> existing;
        const char* question;
    } cases[] = {
        { { "photo10.bmp" }, "photo10.bmp already exists. Do you want to replace it?" },
        { { "photo00.bmp", "photo11.bmp", "photo01.bmp" },
            "3 of the 4 tile files already exist. Do you want to replace them?" },
    };
    for (const Case& c : cases) {
        for (MessageAnswer answer : { MessageAnswer::No, MessageAnswer::Yes }) {
            Saving s(40, 30);
            s.ws.targetDoc.zoneSelected = 1;
            for (const char* name : c.existing)
                s.folder.write(name, previous);
            s.choose("photo.bmp", 1);
            s.platform.expectMessage(c.question, answer);
            EXPECT_EQ(saveTilesAs(s.ws, s.platform, 2, 2), answer == MessageAnswer::Yes);
            EXPECT_EQ(s.platform.messages.size(), 1u);
            if (answer == MessageAnswer::No) {
                // Not one tile written, the zone still selected.
                EXPECT_EQ(std::distance(fs::directory_iterator(s.dir()), fs::directory_iterator {}),
                    std::ptrdiff_t(c.existing.size()));
                for (const char* name : c.existing)
                    EXPECT_EQ(ScratchFolder::read(s.folder.file(name)), previous) << name;
                EXPECT_EQ(s.ws.targetDoc.zoneSelected, 1);
                continue;
            }
            for (int32_t r = 0; r < 2; ++r)
                for (int32_t col = 0; col < 2; ++col)
                    expectPattern(s.folder.file("photo" + std::to_string(col) + std::to_string(r) + ".bmp"),
                        CXIMAGE_FORMAT_BMP, 20 * col, 15 * r, 20, 15);
        }
    }
}

TEST(SaveTarget, ExtractionCopiesTheZoneAndReportsMemory)
{
    Saving s(50, 40);
    GTestPlatform& p = s.platform;
    const auto whole = extractTargetImage(s.ws, p);
    ASSERT_TRUE(whole);
    EXPECT_EQ(std::memcmp(whole->data(), s.ws.targetDoc.targetImage->data(), whole->size()), 0);

    // A rectangle reaching past the target: what lies outside stays black.
    const auto edge = extractTargetRect(*s.ws.targetDoc.targetImage, ImageRect { 45, 35, 10, 10 }, p);
    ASSERT_TRUE(edge);
    const uint8_t* topRow = edge->row(9);
    EXPECT_EQ(topRow[0 + 2], patternAt(45, 35).r);
    EXPECT_EQ(topRow[3 * 5], 0);
    EXPECT_EQ(edge->row(0)[0], 0);

    p.expectMessage("Tessary has run out of memory.");
    EXPECT_FALSE(extractTargetRect(*s.ws.targetDoc.targetImage, ImageRect { 0, 0, 20001, 10 }, p));
    EXPECT_EQ(p.messages[0].icon, MessageIcon::Error);
}

} // namespace
} // namespace tessary
