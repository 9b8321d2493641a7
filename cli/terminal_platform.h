#pragma once
#include "app/platform.h"

#include <cstdio>
#include <string>

namespace tessary::cli {

// The platform port of the command-line tool: messages go to stderr prefixed with
// "tessary-cli: ", questions are answered No (so nothing is ever abandoned), no key is ever
// down, and while stderr is a terminal (and not `quiet`) each phase shows one progress bar line.
class TerminalPlatform : public Platform {
public:
    explicit TerminalPlatform(bool quiet, std::FILE* out = stderr);
    ~TerminalPlatform() override;

    MessageAnswer messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    void processEvents() override { }
    bool isEscapeDown() override { return false; }
    void setStatusPaneText(int pane, const std::string& text) override;
    void setProgress(int percent, ColourRef colour) override;
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

    // A phase of the tool's own (loading, saving) shown as a line while the bars are shown.
    void announce(const std::string& text);

private:
    void endBar();
    std::FILE* out_;
    bool showBars_;
    std::string phase_;
    int shownPercent_ = -1;
};

} // namespace tessary::cli
