#include "corrections/correction_session.h"
#include "corrections/cylindrical.h"
#include "corrections/grid.h"
#include "corrections/pincushion.h"
#include "corrections/skew.h"
#include "corrections/tone.h"
#include "corrections/trapezoid.h"
#include "image/bmp_writer.h"
#include "merge/merge_fixtures.h"
#include "output/write_image_file.h"
#include "sources/copy_to_24bit.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"
#include "support/cli_run.h"
#include "support/codec_image_util.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace tessary {
namespace {

using testing::randomImage;
using testing::runCli;
using testing::ScratchFolder;

using CoreCorrection = std::function<bool(VIrorozIzi&, Platform&)>;

// One Apply of a freshly opened dialog whose correction runs from the backup.
CoreCorrection fromBackup(std::function<CorrectionStatus(const MaskedDib&, MaskedDib&)> run)
{
    return [run](VIrorozIzi& doc, Platform& platform) {
        CorrectionSession session(doc, platform);
        return session.open(nullptr) && session.apply(run) == CorrectionStatus::Done;
    };
}

class CliAdjust : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::mt19937 rng(25);
        // An even width, so that the projection's start values give the picture back.
        ASSERT_TRUE(writeBmpFile(*randomImage(38, 23, 24, rng).dib, folder.file("rgb.bmp")));
        ASSERT_TRUE(writeBmpFile(*randomImage(31, 17, 8, rng).dib, folder.file("paletted.bmp")));
    }

    std::string run(const std::string& input, const std::string& arguments, const std::string& out)
    {
        const testing::CliOutcome outcome
            = runCli("adjust '" + folder.file(input) + "' '" + folder.file(out) + "' " + arguments);
        EXPECT_EQ(outcome.exitCode, 0) << arguments << "\n" << outcome.output;
        return folder.file(out);
    }

    // The same file through the core code: loaded as a source, corrected, saved as the tool saves.
    std::string throughCore(const std::string& input, const CoreCorrection& correct, const std::string& out)
    {
        testing::FakePlatform platform;
        VIrorozIzi doc;
        EXPECT_TRUE(loadImageFile(doc, folder.file(input), platform));
        EXPECT_TRUE(correct(doc, platform));
        MaskedDib picture;
        EXPECT_FALSE(copyTo24Bit(doc.image, picture, nullptr));
        EXPECT_TRUE(writeImageFile(*picture.dib, folder.file(out)));
        return folder.file(out);
    }

    MaskedDib loaded(const std::string& path)
    {
        testing::FakePlatform platform;
        VIrorozIzi doc;
        EXPECT_TRUE(loadImageFile(doc, path, platform));
        return std::move(doc.image);
    }

    ScratchFolder folder;
};

TEST_F(CliAdjust, EveryOperationWritesWhatTheDialogsCoreCodeMakes)
{
    ToneValues tone;
    for (ToneChannel& c : tone.channels)
        c = { 150, 90 };
    tone.channels[1].contrast = 30;
    tone.gamma = -40;
    GridValues grid;
    grid.solid = true;
    grid.solidX = 10;
    grid.solidY = 7;
    grid.dotted = true;
    grid.dottedX = 4;
    grid.dottedY = 3;
    grid.thickness = 2;
    grid.colour = makeColourRef(255, 128, 0);

    struct Case {
        std::string arguments;
        CoreCorrection core;
    };
    const Case cases[] = {
        { "black-and-white", grayScaleSource },
        { "brightness-contrast",
            fromBackup([](const MaskedDib& b, MaskedDib& r) { return applyTone(b, ToneValues {}, r); }) },
        { "brightness-contrast --brightness 150 --contrast 90 --green-contrast 30 --gamma -40",
            fromBackup([tone](const MaskedDib& b, MaskedDib& r) { return applyTone(b, tone, r); }) },
        { "trapezoid", fromBackup([](const MaskedDib& b, MaskedDib& r) {
             return applyTrapezoid(b, TrapezoidValues {}, r);
         }) },
        { "trapezoid --ratio 55 --apex 20 --invert", fromBackup([](const MaskedDib& b, MaskedDib& r) {
             return applyTrapezoid(b, { 55, 20, true }, r);
         }) },
        { "skew --angle -17",
            fromBackup([](const MaskedDib& b, MaskedDib& r) { return applySkew(b, -17, r); }) },
        { "skew --angle 30",
            fromBackup([](const MaskedDib& b, MaskedDib& r) { return applySkew(b, 30, r); }) },
        { "pincushion", fromBackup([](const MaskedDib& b, MaskedDib& r) {
             return applyPincushionTerms(b, 0.0, 0.0, r);
         }) },
        { "pincushion --third 0.3 --fifth -0.2", fromBackup([](const MaskedDib& b, MaskedDib& r) {
             return applyPincushionTerms(b, 0.3, -0.2, r);
         }) },
        { "cylinder", fromBackup([](const MaskedDib& b, MaskedDib& r) {
             return applyCylindrical(b, CylinderValues {}, r);
         }) },
        { "cylinder --left 40 --right 150 --elevation 70", fromBackup([](const MaskedDib& b, MaskedDib& r) {
             return applyCylindrical(b, { 40, 150, 70 }, r);
         }) },
        // Left moved past Right takes Right along, as the sliders do.
        { "cylinder --left 120", fromBackup([](const MaskedDib& b, MaskedDib& r) {
             return applyCylindrical(b, { 120, 120, 50 }, r);
         }) },
        { "grid --solid 10,7 --dotted 4,3 --thickness 2 --colour '#FF8000'",
            [grid](VIrorozIzi& doc, Platform& platform) {
                CorrectionSession session(doc, platform);
                if (!session.open(nullptr))
                    return false;
                drawGrid(doc.image, grid);
                return true;
            } },
    };
    for (const char* input : { "rgb.bmp", "paletted.bmp" })
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(input) + ": " + c.arguments);
            const std::string out = run(input, c.arguments, "cli.bmp");
            const std::string expected = throughCore(input, c.core, "core.bmp");
            const std::vector<uint8_t> written = ScratchFolder::read(out);
            ASSERT_FALSE(written.empty());
            EXPECT_TRUE(written == ScratchFolder::read(expected));
            std::filesystem::remove(out);
        }
}

// Whether `result` holds the pixels of `source` everywhere but where `skipped` says, and black
// there.
std::string sameExcept(
    const MaskedDib& result, const MaskedDib& source, const std::function<bool(int32_t, int32_t)>& skipped)
{
    if (result.width() != source.width() || result.height() != source.height())
        return "size differs";
    for (int32_t row = 0; row < source.height(); ++row)
        for (int32_t x = 0; x < source.width(); ++x) {
            const uint8_t* got = result.dib->row(row) + 3 * x;
            const uint8_t black[3] = {};
            const uint8_t* want = skipped(x, row) ? black : source.dib->row(row) + 3 * x;
            if (std::memcmp(got, want, 3) != 0)
                return "differs at " + std::to_string(x) + "," + std::to_string(row);
        }
    return {};
}

TEST_F(CliAdjust, StartValuesGiveThePictureBackWhereTheCorrectionsSaySo)
{
    const MaskedDib input = loaded(folder.file("rgb.bmp"));
    const int32_t w = input.width(), h = input.height();
    const auto nothing = [](int32_t, int32_t) { return false; };
    const auto lastColumn = [w](int32_t x, int32_t) { return x == w - 1; };
    // Stored rows run bottom-up: the top-right pixel is the last of the last row.
    const auto topRight = [w, h](int32_t x, int32_t row) { return x == w - 1 && row == h - 1; };
    struct Case {
        const char* arguments;
        std::function<bool(int32_t, int32_t)> skipped;
    };
    const Case cases[] = {
        { "brightness-contrast", nothing },
        { "trapezoid --ratio 100", lastColumn },
        { "skew", topRight },
        { "cylinder", topRight },
        { "grid", nothing },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(sameExcept(loaded(run("rgb.bmp", c.arguments, "out.bmp")), input, c.skipped), "");
    }
}

TEST_F(CliAdjust, WritesTheFormatTheEndingNamesAndShowsNoBarsOffATerminal)
{
    const testing::CliOutcome outcome
        = runCli("adjust '" + folder.file("rgb.bmp") + "' '" + folder.file("out.png") + "' skew --angle=-5");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.output, "");
    const std::vector<uint8_t> png = ScratchFolder::read(folder.file("out.png"));
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(loaded(folder.file("out.png")).width(), 38 + 2); // trunc(38 + 23 sin 5 degrees)
}

TEST_F(CliAdjust, BadArgumentsAreRefusedBeforeAnyWorkNamingWhatIsWrong)
{
    struct Case {
        const char* arguments;
        const char* named;
    };
    const Case cases[] = {
        { "trapezoid --ratio 0", "--ratio" },
        { "trapezoid --ratio 101", "--ratio" },
        { "trapezoid --apex 0", "--apex" },
        { "trapezoid --apex 101", "--apex" },
        { "trapezoid --ratio", "--ratio" },
        { "trapezoid --ratio 5x", "--ratio" },
        { "skew --angle 90", "--angle" },
        { "skew --angle -90", "--angle" },
        { "brightness-contrast --brightness 256", "--brightness" },
        { "brightness-contrast --blue-contrast 128", "--blue-contrast" },
        { "brightness-contrast --gamma -256", "--gamma" },
        { "pincushion --third 1.5", "--third" },
        { "pincushion --fifth nan", "--fifth" },
        { "pincushion --fifth inf", "--fifth" },
        { "cylinder --left 181", "--left" },
        { "cylinder --elevation 101", "--elevation" },
        { "cylinder --left 100 --right 50", "--left" },
        { "grid --solid 1,5", "--solid" },
        { "grid --dotted 5,1001", "--dotted" },
        { "grid --solid 5", "--solid" },
        { "grid --thickness 11", "--thickness" },
        { "grid --colour red", "--colour" },
        { "grid --colour '#12345G'", "--colour" },
        { "sharpen", "sharpen" },
        { "", "OPERATION" },
        { "skew --fast", "--fast" },
        { "skew --ratio 50", "--ratio" },
        { "black-and-white --invert", "--invert" },
    };
    // The input does not exist: an argument that slipped through would fail the load with 1.
    const std::string files = "'" + folder.file("missing.bmp") + "' '" + folder.file("out.bmp") + "' ";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const testing::CliOutcome outcome = runCli("adjust " + files + c.arguments);
        EXPECT_EQ(outcome.exitCode, 2) << outcome.output;
        EXPECT_NE(outcome.output.find(c.named), std::string::npos) << outcome.output;
    }
    const testing::CliOutcome gif
        = runCli("adjust '" + folder.file("rgb.bmp") + "' '" + folder.file("out.gif") + "' skew");
    EXPECT_EQ(gif.exitCode, 2);
    EXPECT_NE(gif.output.find("out.gif"), std::string::npos) << gif.output;
    const testing::CliOutcome help = runCli("adjust --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--apex 1..100 (50)"), std::string::npos) << help.output;
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.bmp")));
}

TEST_F(CliAdjust, FailuresExitOneWithTheProgramsTexts)
{
    // A one-pixel-wide picture for the projection.
    MaskedDib narrow;
    ASSERT_FALSE(allocateMaskedDib(5, 1, narrow, 24));
    ASSERT_TRUE(writeBmpFile(*narrow.dib, folder.file("narrow.bmp")));
    std::ofstream(folder.file("text.bmp")) << "not a picture";
    struct Case {
        const char* input;
        const char* arguments;
        const char* text;
    };
    const Case cases[] = {
        { "rgb.bmp", "skew --angle 89", kSkewNoRowsText }, // 23 rows shrink to none
        { "narrow.bmp", "cylinder", kCylinderTooNarrowText },
        { "rgb.bmp", "pincushion --third 1 --fifth 1",
            kDistortValuesTooLarge }, // the table does not converge
        { "text.bmp", "black-and-white", kUnableToLoadImageFile },
        { "absent.bmp", "black-and-white", "cannot open" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const testing::CliOutcome outcome
            = runCli("adjust '" + folder.file(c.input) + "' '" + folder.file("out.bmp") + "' " + c.arguments);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.output.find(c.text), std::string::npos) << outcome.output;
        EXPECT_FALSE(std::filesystem::exists(folder.file("out.bmp")));
    }
    // A save that cannot replace what holds the name.
    std::filesystem::create_directories(folder.file("taken.bmp"));
    const testing::CliOutcome save
        = runCli("adjust '" + folder.file("rgb.bmp") + "' '" + folder.file("taken.bmp") + "' skew");
    EXPECT_EQ(save.exitCode, 1);
    EXPECT_NE(save.output.find(kFailedFileSave), std::string::npos) << save.output;
}

} // namespace
} // namespace tessary
