// tessary-cli info FILE and tessary-cli convert IN OUT.
#include "cli/cli_files.h"
#include "cli/commands.h"
#include "cli/terminal_platform.h"
#include "image/colour_profile.h"
#include "image/cx_image.h"
#include "image/upright_image.h"
#include "image/pixel_access.h"
#include "output/write_image_file.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"

#include <cstdio>
#include <string>

namespace tessary::cli {

namespace {
const char* formatName(uint32_t format)
{
    const FileFormat* f = fileFormat(format);
    return f ? f->name : "unknown";
}

const char* profileText(const CxImage& image)
{
    switch (image.GetIccState()) {
    case IccState::None:
        return "none";
    case IccState::TooLarge:
        return "ignored (larger than 4 MiB)";
    case IccState::Broken:
        return "ignored (damaged)";
    case IccState::Kept:
        break;
    }
    return nullptr; // what loading would do with it: see convertToSrgb
}

const char* conversionText(ProfileOutcome outcome)
{
    switch (outcome) {
    case ProfileOutcome::Srgb:
        return "sRGB (left as it is)";
    case ProfileOutcome::Converted:
        return "converted to sRGB";
    default:
        return "ignored";
    }
}
}

int runInfo(int argc, char** argv)
{
    if (argc != 1) {
        std::fputs("Usage: tessary-cli info FILE\n", stderr);
        return 2;
    }
    const std::string path = argv[0];
    if (!readable(path))
        return 1;
    // Decoded as a source is: the hinted decoder, then by content.
    const std::optional<uint32_t> hint = formatFromFileName(path);
    CxImage image(path, hint.value_or(CXIMAGE_FORMAT_UNKNOWN));
    if (!image.IsValid()) {
        const std::string reason = image.GetLastErrorText();
        std::fprintf(
            stderr, "tessary-cli: %s\n", reason.empty() ? "Unable to load this image file" : reason.c_str());
        return 1;
    }
    std::printf("width: %d\nheight: %d\nbits per pixel: %d\nformat: %s\n", image.GetWidth(),
        image.GetHeight(), int(image.GetBpp()), formatName(image.GetType()));
    // width and height are as stored; the upright size is what a source made from the file has.
    const int orientation = image.GetOrientation();
    const UprightSize upright = uprightSize(image.GetWidth(), image.GetHeight(), orientation);
    std::printf("orientation: %d\nupright width: %d\nupright height: %d\n", orientation, upright.width,
        upright.height);
    const char* profile = profileText(image);
    std::printf("colour profile: %s\n", profile ? profile : conversionText(convertToSrgb(image).outcome));
    return 0;
}

int runConvert(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs(
            (std::string("Usage: tessary-cli convert IN OUT\n  OUT ends in ") + kOutputEndings + ".\n").c_str(), stderr);
        return 2;
    }
    const std::string in = argv[0], out = argv[1];
    if (!formatFromFileName(out)) {
        std::fprintf(
            stderr, "tessary-cli: \"%s\" does not end in %s\n", out.c_str(), kOutputEndings);
        return 2;
    }
    if (!readable(in))
        return 1;
    TerminalPlatform platform(true);
    VIrorozIzi source;
    if (!loadImageFile(source, in, platform))
        return 1;
    return savePicture(source.image, out, platform) ? 0 : 1;
}

} // namespace tessary::cli
