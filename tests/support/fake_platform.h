#pragma once
#include "app/platform.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tessary::testing {

// A scripted Platform for tests. Every message box is recorded; its answer comes from a queue
// the test fills beforehand. A message that finds the queue empty, or whose text differs from
// the text the test expected, is reported through the failure handler with the message's text,
// so the test fails saying what the program showed. Choosers answer from their own queues
// (an empty queue means the user cancelled) and record the requests they were given.
class FakePlatform : public Platform {
public:
    using FailureHandler = std::function<void(const std::string&)>;

    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    // The default handler prints the failure and aborts, so no framework can miss it.
    explicit FakePlatform(FailureHandler onFailure = {});
    // Expectations the program never met are failures too.
    ~FakePlatform() override;

    // The next message must read `text`; it is answered with `answer`.
    void expectMessage(std::string text, MessageAnswer answer = MessageAnswer::Ok);
    // The next message, whatever its text, is answered with `answer`.
    void queueAnswer(MessageAnswer answer);
    // Clears the expectations that were not met (for tests that stop early on purpose).
    std::vector<std::string> takeUnmetExpectations();

    std::vector<Message> messages;
    std::vector<std::string> messageTexts() const;
    // Runs while each message is on screen, with its text: what the program shows behind it.
    std::function<void(const std::string&)> duringMessage;

    // ---- long work
    // How many of the coming escape polls see Esc held (each poll consumes one).
    int escapeDownPolls = 0;
    // Escape polls so far, and those that came while no long operation was busy.
    int eventPumps = 0;
    int pollsWhileIdle = 0;
    // The nesting depth of the busy state, and how often it was entered from idle.
    int busyDepth = 0;
    int busyEntries = 0;
    // Runs at each escape poll, as input arriving while the work runs would.
    std::function<void()> duringPoll;

    // ---- status bar
    std::map<int, std::string> paneText;
    std::vector<std::pair<int, std::string>> paneHistory;
    std::vector<std::pair<int, ColourRef>> progressHistory;
    // Every passing status line, in order.
    std::vector<std::string> statusMessages;

    // ---- settings, keyed by "section/name"
    std::map<std::string, int> intSettings;
    std::map<std::string, std::string> textSettings;

    // ---- clipboard and text
    std::optional<std::vector<uint8_t>> clipboard;
    // Measured extent of a line: `charWidth` per character, `lineHeight` high.
    int32_t charWidth = 8;
    int32_t lineHeight = 16;
    bool fontFails = false;

    // ---- choosers
    std::deque<std::optional<FileDialogResult>> openAnswers;
    std::deque<std::optional<FileDialogResult>> saveAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<ColourRef>> colourAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;

    MessageAnswer messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    void enterBusy() override;
    void leaveBusy() override;
    bool isEscapeDown() override;
    void setStatusPaneText(int pane, const std::string& text) override;
    void setProgress(int percent, ColourRef colour) override;
    void showStatusMessage(const std::string& text) override { statusMessages.push_back(text); }
    int getSettingInt(const std::string& section, const std::string& name, int defaultValue) override;
    void setSettingInt(const std::string& section, const std::string& name, int value) override;
    std::string getSettingText(
        const std::string& section, const std::string& name, const std::string& defaultValue) override;
    void setSettingText(
        const std::string& section, const std::string& name, const std::string& value) override;
    std::optional<std::vector<uint8_t>> clipboardImage() override;
    bool clipboardHasImage() override { return clipboard.has_value(); }
    std::optional<TextExtent> measureText(const LogFont& font, const std::string& line) override;
    std::optional<MonoBitmap> renderText(
        const LogFont& font, const std::string& text, int32_t width, int32_t height) override;
    std::optional<FileDialogResult> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseFolder(
        const std::string& title, const std::string& initialFolder) override;
    std::optional<ColourRef> chooseColour(ColourRef initial) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;

private:
    struct Expectation {
        std::optional<std::string> text;
        MessageAnswer answer;
    };
    std::deque<Expectation> expected_;
    FailureHandler onFailure_;
    std::map<int, std::string> paneTextBeforeBusy_;
};

} // namespace tessary::testing
