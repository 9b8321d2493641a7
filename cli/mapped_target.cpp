#include "cli/mapped_target.h"

#include "image/bmp_writer.h"
#include "image/cx_image.h"
#include "image/temporary_files.h"

#include <csignal>
#include <unistd.h>

namespace tessary::cli {

namespace {
constexpr size_t kFileHeader = 14;

// What the bus error handler replaced, put back when the save has ended.
struct sigaction gPrevious { };
bool gInstalled = false;

void onBusError(int)
{
    static const char kText[]
        = "tessary-cli merge: the output file could not be written (the disk may be full)\n";
    [[maybe_unused]] const ssize_t shown = write(STDERR_FILENO, kText, sizeof kText - 1);
    removeTemporaryFiles();
    _exit(1);
}

void watchBusErrors()
{
    struct sigaction action { };
    action.sa_handler = onBusError;
    sigemptyset(&action.sa_mask);
    gInstalled = sigaction(SIGBUS, &action, &gPrevious) == 0;
}

void stopWatching()
{
    if (gInstalled)
        sigaction(SIGBUS, &gPrevious, nullptr);
    gInstalled = false;
}
}

MappedTarget::MappedTarget(std::string outPath)
    : outPath_(std::move(outPath))
{
}

MappedTarget::~MappedTarget()
{
    stopWatching();
}

BlockProvider MappedTarget::provider()
{
    if (formatFromFileName(outPath_) != CXIMAGE_FORMAT_BMP)
        return nullptr;
    return [this](size_t bytes) -> std::shared_ptr<uint8_t[]> {
        if (file_.bytes() || !file_.begin(outPath_, kFileHeader + bytes))
            return nullptr;
        watchBusErrors();
        // The file owns the bytes: the image only borrows them.
        return std::shared_ptr<uint8_t[]>(file_.bytes() + kFileHeader, [](uint8_t*) { });
    };
}

bool MappedTarget::holds(const PackedDib& image) const
{
    return file_.bytes() && image.data() == file_.bytes() + kFileHeader
        && image.size() + kFileHeader == file_.size();
}

bool MappedTarget::save(std::unique_ptr<PackedDib>& image)
{
    if (!image || !holds(*image))
        return false;
    const PackedDib& held = *image;
    const bool headed = bmpFileHeader(held.data(), held.size(), file_.bytes());
    image.reset();
    const bool saved = headed && file_.commit();
    stopWatching();
    return saved;
}

} // namespace tessary::cli
