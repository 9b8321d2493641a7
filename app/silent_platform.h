#pragma once
#include "app/platform.h"

namespace tessary {

// A platform with no one in front of it: questions are answered No, messages Ok, no key is ever
// down, status and progress go nowhere, settings keep their defaults and every chooser is
// cancelled. The command-line tool and the benchmarks build on it.
class SilentPlatform : public Platform {
public:
    MessageAnswer messageBox(const std::string&, MessageIcon, MessageButtons buttons) override
    {
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    void enterBusy() override { }
    void leaveBusy() override { }
    bool isEscapeDown() override { return false; }
    void setStatusPaneText(int, const std::string&) override { }
    void setProgress(int, ColourRef) override { }
    int getSettingInt(const std::string&, const std::string&, int defaultValue) override
    {
        return defaultValue;
    }
    void setSettingInt(const std::string&, const std::string&, int) override { }
    std::string getSettingText(
        const std::string&, const std::string&, const std::string& defaultValue) override
    {
        return defaultValue;
    }
    void setSettingText(const std::string&, const std::string&, const std::string&) override { }
    std::optional<std::vector<uint8_t>> clipboardImage() override { return std::nullopt; }
    bool clipboardHasImage() override { return false; }
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

} // namespace tessary
