#pragma once
// A platform port for the benchmarks: no messages, no keys, progress ignored.
#include "app/platform.h"
#include "image/masked_dib.h"

namespace tessary::bench {

class SilentPlatform : public Platform {
public:
    MessageAnswer messageBox(const std::string&, MessageIcon, MessageButtons b) override
    {
        return b == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    void processEvents() override { }
    bool isEscapeDown() override { return false; }
    void setStatusPaneText(int, const std::string&) override { }
    void setProgress(int, ColourRef) override { }
    int getSettingInt(const std::string&, const std::string&, int d) override { return d; }
    void setSettingInt(const std::string&, const std::string&, int) override { }
    std::string getSettingText(const std::string&, const std::string&, const std::string& d) override
    {
        return d;
    }
    void setSettingText(const std::string&, const std::string&, const std::string&) override { }
    std::optional<std::vector<uint8_t>> clipboardImage() override { return std::nullopt; }
    std::optional<TextExtent> measureText(const LogFont&, const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<MonoBitmap> renderText(const LogFont&, const std::string&, int32_t, int32_t) override
    {
        return std::nullopt;
    }
    std::optional<FileDialogResult> chooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<FileDialogResult> chooseSaveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<ColourRef> chooseColour(ColourRef) override { return std::nullopt; }
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
};

// A w x h 24-bit picture with smooth gradients and some texture, fully opaque.
inline MaskedDib benchPicture(int32_t w, int32_t h, uint32_t seed)
{
    MaskedDib image;
    if (allocateMaskedDib(h, w, image, 24))
        return image;
    uint32_t state = seed * 2654435761u + 1;
    for (int32_t row = 0; row < h; ++row) {
        uint8_t* p = image.dib->row(row);
        for (int32_t x = 0; x < w; ++x, p += 3) {
            state = state * 1664525u + 1013904223u;
            const uint32_t noise = state >> 28;
            p[0] = uint8_t((x * 255 / w + noise) & 0xFF);
            p[1] = uint8_t((row * 255 / h + noise) & 0xFF);
            p[2] = uint8_t(((x + row) * 127 / (w + h) + seed * 40 + noise) & 0xFF);
        }
    }
    return image;
}

} // namespace tessary::bench
