#pragma once
#include "app/platform.h"

#include <chrono>
#include <optional>
#include <string>

namespace tessary {

// The platform a batch run works through: everything goes to the real platform except, while
// recording, the messages of a failing file, which are kept as that file's reason instead of
// stopping the run with a box per file. Questions (the escape poll's "Do you really want to
// quit ?") always reach the user, and a Yes to that question is noted.
//
// The transformation and the generation poll Esc once per row or column, thousands of times
// per file; the program's platform lets pending paints happen at each poll. Within a file the
// polls reach the real platform at most once per `pollInterval` (the others see no Esc), so the
// windows still repaint many times a second and a held Esc is still seen at once, without the
// painting costing more than the merge.
class BatchPlatform final : public Platform {
public:
    BatchPlatform(Platform& real, std::chrono::milliseconds pollInterval)
        : real_(real)
        , pollInterval_(pollInterval)
    {
    }

    void startRecording();
    void stopRecording() { recording_ = false; }
    // The recorded messages, one after the other, separated by " - ".
    const std::string& recorded() const { return recorded_; }
    bool quitAnsweredYes() const { return quitYes_; }

    MessageAnswer messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    void enterBusy() override { real_.enterBusy(); }
    void leaveBusy() override { real_.leaveBusy(); }
    bool isEscapeDown() override;
    // The next poll reaches the real platform whenever it comes (between files).
    void pollAtOnce() { lastPoll_.reset(); }
    void setStatusPaneText(int pane, const std::string& text) override
    {
        real_.setStatusPaneText(pane, text);
    }
    void setProgress(int percent, ColourRef colour) override { real_.setProgress(percent, colour); }
    // Passing notes (a colour profile that was ignored) do not fail a file: they go through.
    void showStatusMessage(const std::string& text) override { real_.showStatusMessage(text); }
    int getSettingInt(const std::string& section, const std::string& name, int defaultValue) override
    {
        return real_.getSettingInt(section, name, defaultValue);
    }
    void setSettingInt(const std::string& section, const std::string& name, int value) override
    {
        real_.setSettingInt(section, name, value);
    }
    std::string getSettingText(
        const std::string& section, const std::string& name, const std::string& defaultValue) override
    {
        return real_.getSettingText(section, name, defaultValue);
    }
    void setSettingText(
        const std::string& section, const std::string& name, const std::string& value) override
    {
        real_.setSettingText(section, name, value);
    }
    std::optional<std::vector<uint8_t>> clipboardImage() override { return real_.clipboardImage(); }
    bool clipboardHasImage() override { return real_.clipboardHasImage(); }
    std::optional<TextExtent> measureText(const LogFont& font, const std::string& line) override
    {
        return real_.measureText(font, line);
    }
    std::optional<MonoBitmap> renderText(
        const LogFont& font, const std::string& text, int32_t width, int32_t height) override
    {
        return real_.renderText(font, text, width, height);
    }
    std::optional<FileDialogResult> chooseOpenFile(const FileDialogRequest& request) override
    {
        return real_.chooseOpenFile(request);
    }
    std::optional<FileDialogResult> chooseSaveFile(const FileDialogRequest& request) override
    {
        return real_.chooseSaveFile(request);
    }
    std::optional<std::string> chooseFolder(
        const std::string& title, const std::string& initialFolder) override
    {
        return real_.chooseFolder(title, initialFolder);
    }
    std::optional<ColourRef> chooseColour(ColourRef initial) override { return real_.chooseColour(initial); }
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override
    {
        return real_.chooseFont(initial);
    }

private:
    Platform& real_;
    bool recording_ = false;
    bool quitYes_ = false;
    std::string recorded_;
    std::chrono::milliseconds pollInterval_;
    std::optional<std::chrono::steady_clock::time_point> lastPoll_;
};

} // namespace tessary
