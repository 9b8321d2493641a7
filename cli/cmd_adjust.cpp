// tessary-cli adjust IN OUT OPERATION [OPTIONS] [--quiet]: one correction of a source without
// windows. IN is loaded as a source is, the correction runs as one Apply of its freshly opened
// dialog does (from the 24-bit copy of the image and mask), and the picture is written as
// `convert` writes it.
#include "cli/cli_files.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/terminal_platform.h"
#include "corrections/cylindrical.h"
#include "corrections/grid.h"
#include "corrections/pincushion.h"
#include "corrections/pincushion_fields.h"
#include "corrections/skew.h"
#include "corrections/tone.h"
#include "corrections/tone_controls.h"
#include "corrections/trapezoid.h"
#include "image/cx_image.h"
#include "merge/progress_colours.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace tessary::cli {

namespace {
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kBlackAndWhite = "black-and-white";
const char* const kBrightnessContrast = "brightness-contrast";
const char* const kTrapezoid = "trapezoid";
const char* const kSkew = "skew";
const char* const kPincushion = "pincushion";
const char* const kCylinder = "cylinder";
const char* const kGrid = "grid";

std::string rangeText(const SettingRange& range)
{
    return std::to_string(range.min) + ".." + std::to_string(range.max);
}

// A value in its dialog's range, with the start value after it: "1..100 (80)".
std::string rangeAndStart(const SettingRange& range)
{
    return rangeText(range) + " (" + std::to_string(range.start) + ")";
}

CLI::Validator inRange(const SettingRange& range)
{
    return CLI::Range(range.min, range.max);
}

std::string distortTermRange()
{
    std::ostringstream text;
    text << -kDistortTermLimit << ".." << kDistortTermLimit;
    return text.str();
}

// A decimal pincushion term; NaN and infinities are refused with the rest.
CLI::Validator distortTerm()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            double value = 0;
            if (!CLI::detail::lexical_cast(text, value) || !std::isfinite(value) || value < -kDistortTermLimit
                || value > kDistortTermLimit)
                return "Value " + text + " not in range " + distortTermRange();
            return {};
        },
        "[" + distortTermRange() + "]");
}

// "X,Y", each an integer in the grid's spacing range (both grids share it).
std::optional<std::pair<int32_t, int32_t>> readSpacing(const std::string& text)
{
    const SettingRange& range = GridValues::kSolidSpacing;
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    int32_t x = 0, y = 0;
    if (!CLI::detail::lexical_cast(text.substr(0, comma), x)
        || !CLI::detail::lexical_cast(text.substr(comma + 1), y))
        return std::nullopt;
    if (!range.contains(x) || !range.contains(y))
        return std::nullopt;
    return std::make_pair(x, y);
}

CLI::Validator spacing()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return readSpacing(text)
                ? std::string {}
                : "Value " + text + " is not X,Y with X and Y in " + rangeText(GridValues::kSolidSpacing);
        },
        "X,Y");
}

// "#RRGGBB".
std::optional<ColourRef> readColour(const std::string& text)
{
    if (text.size() != 7 || text[0] != '#')
        return std::nullopt;
    uint8_t part[3] = {};
    for (int n = 0; n < 3; ++n) {
        int value = 0;
        for (int d = 0; d < 2; ++d) {
            const char c = text[size_t(1 + 2 * n + d)];
            const int digit = c >= '0' && c <= '9' ? c - '0'
                : c >= 'a' && c <= 'f'             ? c - 'a' + 10
                : c >= 'A' && c <= 'F'             ? c - 'A' + 10
                                                   : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        part[n] = uint8_t(value);
    }
    return makeColourRef(part[0], part[1], part[2]);
}

CLI::Validator colour()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return readColour(text) ? std::string {} : "Value " + text + " is not a colour #RRGGBB";
        },
        "#RRGGBB");
}

// What the command line asked for, every value at its dialog's start value unless given.
struct Request {
    std::string in, out, operation;
    bool quiet = false;
    ToneControls tone;
    std::array<int32_t, 3> channelBrightness {}, channelContrast {};
    std::array<bool, 3> brightnessGiven {}, contrastGiven {};
    TrapezoidValues trapezoid;
    int32_t angle = kSkewAngle.start;
    double third = 0.0, fifth = 0.0;
    int32_t left = CylinderValues::kLeft.start, right = CylinderValues::kRight.start;
    bool leftGiven = false, rightGiven = false;
    int32_t elevation = CylinderValues::kElevation.start;
    std::string solid, dotted;
    GridValues grid;
    std::string colour = "#000000";
};

const char* const kOperations[]
    = { kBlackAndWhite, kBrightnessContrast, kTrapezoid, kSkew, kPincushion, kCylinder, kGrid };

// The operations and their options, each with the range and start value of its dialog.
std::string footer()
{
    const std::string indent(23, ' ');
    const std::string term = distortTermRange() + " (0.0)";
    std::ostringstream text;
    text << "\nOperations and their options (every value defaults to its dialog's start value):\n"
         << "  black-and-white\n"
         << "  brightness-contrast  --brightness " << rangeAndStart(kToneBrightness) << " and --contrast "
         << rangeAndStart(kToneContrast) << " set the three\n"
         << indent << "channels; --red-/--green-/--blue-brightness and -contrast override\n"
         << indent << "one channel; --gamma " << rangeAndStart(kToneGamma) << "\n"
         << "  trapezoid            --ratio " << rangeAndStart(TrapezoidValues::kRatio) << ", --apex "
         << rangeAndStart(TrapezoidValues::kApexPosition) << ", --invert\n"
         << "  skew                 --angle " << rangeAndStart(kSkewAngle) << "\n"
         << "  pincushion           --third " << term << ", --fifth " << term << "\n"
         << "  cylinder             --left " << rangeAndStart(CylinderValues::kLeft) << ", --right "
         << rangeAndStart(CylinderValues::kRight) << ", --elevation "
         << rangeAndStart(CylinderValues::kElevation) << "\n"
         << "  grid                 --solid X,Y and --dotted X,Y (" << rangeText(GridValues::kSolidSpacing)
         << ", off unless given),\n"
         << indent << "--thickness " << rangeAndStart(GridValues::kThickness)
         << ", --colour #RRGGBB (#000000)\n"
         << "OUT ends in " << kOutputEndings << "; its mask is not written.\n";
    return text.str();
}

struct OwnedOption {
    CLI::Option* option;
    const char* operation;
};

// Parses the arguments into `request`; an exit code when the command should end here.
std::optional<int> parse(int argc, char** argv, Request& request)
{
    CLI::App app("Applies one correction of a source image and writes the result.", "tessary-cli adjust");
    app.footer(footer());
    app.add_option("IN", request.in, "the image to correct")->required();
    app.add_option("OUT", request.out, "the file to write")->required();
    app.add_option("OPERATION", request.operation, "the correction")
        ->required()
        ->check(CLI::IsMember(std::vector<std::string>(std::begin(kOperations), std::end(kOperations))));
    app.add_flag("-q,--quiet", request.quiet, "no progress bars");

    std::vector<OwnedOption> owned;
    const auto own = [&owned](CLI::Option* option, const char* operation) {
        option->group(operation)->capture_default_str();
        owned.push_back({ option, operation });
    };
    own(app.add_option("--brightness", request.tone.masterBrightness)->check(inRange(kToneBrightness)),
        kBrightnessContrast);
    own(app.add_option("--contrast", request.tone.masterContrast)->check(inRange(kToneContrast)),
        kBrightnessContrast);
    const char* const channels[3] = { "red", "green", "blue" };
    std::array<CLI::Option*, 3> brightness {}, contrast {};
    for (size_t n = 0; n < 3; ++n) {
        brightness[n]
            = app.add_option(std::string("--") + channels[n] + "-brightness", request.channelBrightness[n])
                  ->check(inRange(kToneBrightness));
        own(brightness[n], kBrightnessContrast);
        contrast[n]
            = app.add_option(std::string("--") + channels[n] + "-contrast", request.channelContrast[n])
                  ->check(inRange(kToneContrast));
        own(contrast[n], kBrightnessContrast);
    }
    own(app.add_option("--gamma", request.tone.values.gamma)->check(inRange(kToneGamma)),
        kBrightnessContrast);
    own(app.add_option("--ratio", request.trapezoid.ratio)->check(inRange(TrapezoidValues::kRatio)),
        kTrapezoid);
    own(app.add_option("--apex", request.trapezoid.apexPosition)
            ->check(inRange(TrapezoidValues::kApexPosition)),
        kTrapezoid);
    own(app.add_flag("--invert", request.trapezoid.inverted), kTrapezoid);
    own(app.add_option("--angle", request.angle)->check(inRange(kSkewAngle)), kSkew);
    own(app.add_option("--third", request.third)->check(distortTerm()), kPincushion);
    own(app.add_option("--fifth", request.fifth)->check(distortTerm()), kPincushion);
    CLI::Option* left = app.add_option("--left", request.left)->check(inRange(CylinderValues::kLeft));
    own(left, kCylinder);
    CLI::Option* right = app.add_option("--right", request.right)->check(inRange(CylinderValues::kRight));
    own(right, kCylinder);
    own(app.add_option("--elevation", request.elevation)->check(inRange(CylinderValues::kElevation)),
        kCylinder);
    own(app.add_option("--solid", request.solid)->check(spacing()), kGrid);
    own(app.add_option("--dotted", request.dotted)->check(spacing()), kGrid);
    own(app.add_option("--thickness", request.grid.thickness)->check(inRange(GridValues::kThickness)), kGrid);
    own(app.add_option("--colour", request.colour)->check(colour()), kGrid);

    if (const std::optional<int> exit = parseCommandLine(app, argc, argv))
        return exit;
    for (const OwnedOption& o : owned)
        if (o.option->count() > 0 && request.operation != o.operation) {
            std::fprintf(stderr, "tessary-cli adjust: %s is not an option of %s\n",
                o.option->get_name().c_str(), request.operation.c_str());
            return kExitUsage;
        }
    for (size_t n = 0; n < 3; ++n) {
        request.brightnessGiven[n] = brightness[n]->count() > 0;
        request.contrastGiven[n] = contrast[n]->count() > 0;
    }
    request.leftGiven = left->count() > 0;
    request.rightGiven = right->count() > 0;
    if (request.leftGiven && request.rightGiven && request.left > request.right) {
        std::fputs("tessary-cli adjust: --left must not be greater than --right\n", stderr);
        return kExitUsage;
    }
    if (!formatFromFileName(request.out)) {
        std::fprintf(
            stderr, "tessary-cli adjust: \"%s\" does not end in %s\n", request.out.c_str(), kOutputEndings);
        return kExitUsage;
    }
    return std::nullopt;
}

// The brightness dialog's controls after the masters and then the given channels were moved.
ToneValues toneValues(Request& r)
{
    r.tone.propagate();
    for (size_t n = 0; n < 3; ++n) {
        if (r.brightnessGiven[n])
            r.tone.values.channels[n].brightness = r.channelBrightness[n];
        if (r.contrastGiven[n])
            r.tone.values.channels[n].contrast = r.channelContrast[n];
    }
    return r.tone.values;
}

// The projection's sliders as the dialog leaves them when Left and then Right are moved.
CylinderValues cylinderValues(const Request& r)
{
    CylinderValues v;
    if (r.leftGiven)
        v.leftMoved(r.left);
    if (r.rightGiven)
        v.rightMoved(r.right);
    v.elevation = r.elevation;
    return v;
}

GridValues gridValues(const Request& r)
{
    GridValues v = r.grid;
    if (const auto solid = readSpacing(r.solid)) {
        v.solid = true;
        v.solidX = solid->first;
        v.solidY = solid->second;
    }
    if (const auto dotted = readSpacing(r.dotted)) {
        v.dotted = true;
        v.dottedX = dotted->first;
        v.dottedY = dotted->second;
    }
    v.colour = *readColour(r.colour);
    return v;
}

// The correction a dialog's Apply runs on the backup, and the text it shows when the correction
// refuses the image.
struct Correction {
    std::function<CorrectionStatus(const MaskedDib&, MaskedDib&, const RowProgress&)> run;
    const char* refusedText = nullptr;
    const char* backupFailureText = kRunOutOfMemory;
};

Correction correctionFor(Request& r)
{
    if (r.operation == kBrightnessContrast) {
        const ToneValues values = toneValues(r);
        return { [values](const MaskedDib& b, MaskedDib& out, const RowProgress& p) {
            return applyTone(b, values, out, p);
        } };
    }
    if (r.operation == kTrapezoid) {
        const TrapezoidValues values = r.trapezoid;
        return { [values](const MaskedDib& b, MaskedDib& out, const RowProgress& p) {
            return applyTrapezoid(b, values, out, p);
        } };
    }
    if (r.operation == kSkew) {
        const int32_t angle = r.angle;
        return { [angle](const MaskedDib& b, MaskedDib& out, const RowProgress& p) {
                    return applySkew(b, angle, out, p);
                },
            kSkewNoRowsText };
    }
    if (r.operation == kPincushion) {
        const double k3 = r.third, k5 = r.fifth;
        return { [k3, k5](const MaskedDib& b, MaskedDib& out, const RowProgress& p) {
                    return applyPincushionTerms(b, k3, k5, out, p);
                },
            kDistortValuesTooLarge, kDistortNoMemoryText };
    }
    const CylinderValues values = cylinderValues(r);
    return { [values](const MaskedDib& b, MaskedDib& out, const RowProgress& p) {
                return applyCylindrical(b, values, out, p);
            },
        kCylinderTooNarrowText, kDistortNoMemoryText };
}

// One Apply of a freshly opened dialog; false when the source's image was not replaced.
bool correct(VIrorozIzi& source, Request& r, TerminalPlatform& platform)
{
    if (r.operation == kBlackAndWhite)
        return grayScaleSource(source, platform);
    CorrectionSession session(source, platform);
    if (r.operation == kGrid) {
        // The grid is drawn into the image itself at its own depth, as the dialog draws it.
        if (!session.open(nullptr))
            return false;
        drawGrid(source.image, gridValues(r));
        return true;
    }
    const Correction c = correctionFor(r);
    if (!session.open(c.backupFailureText))
        return false;
    platform.setStatusPaneText(2, r.operation);
    const CorrectionStatus status = session.apply([&](const MaskedDib& backup, MaskedDib& result) {
        const int64_t height = backup.height();
        return c.run(backup, result, [&platform, height](int32_t row) {
            platform.setProgress(int((row + 1) * 100 / height), kStripRunning);
        });
    });
    platform.setProgress(100, kProgressDone);
    if (status == CorrectionStatus::Refused && c.refusedText)
        platform.messageBox(c.refusedText, MessageIcon::Error, MessageButtons::Ok);
    return status == CorrectionStatus::Done;
}
}

int runAdjust(int argc, char** argv)
{
    Request request;
    if (const std::optional<int> exit = parse(argc, argv, request))
        return *exit;
    if (!readable(request.in))
        return kExitFailed;
    TerminalPlatform platform(request.quiet);
    VIrorozIzi source;
    platform.announce("Loading " + request.in);
    if (!loadImageFile(source, request.in, platform))
        return kExitFailed;
    if (!correct(source, request, platform))
        return kExitFailed;
    platform.announce("Saving " + request.out);
    return savePicture(source.image, request.out, platform) ? 0 : kExitFailed;
}

} // namespace tessary::cli
