#include "support/fake_platform.h"

#include <cstdio>
#include <cstdlib>

namespace tessary::testing {

namespace {
std::string key(const std::string& section, const std::string& name)
{
    return section + "/" + name;
}

const char* iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Plain:
        return "plain";
    case MessageIcon::Error:
        return "error";
    case MessageIcon::Question:
        return "question";
    case MessageIcon::Information:
        return "information";
    case MessageIcon::Warning:
        return "warning";
    }
    return "?";
}

template <typename T> T takeFront(std::deque<T>& queue, T whenEmpty)
{
    if (queue.empty())
        return whenEmpty;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
}

FakePlatform::FakePlatform(FailureHandler onFailure)
    : onFailure_(std::move(onFailure))
{
    if (!onFailure_) {
        onFailure_ = [](const std::string& text) {
            std::fprintf(stderr, "FakePlatform: %s\n", text.c_str());
            std::abort();
        };
    }
}

FakePlatform::~FakePlatform()
{
    for (const std::string& text : takeUnmetExpectations())
        onFailure_("expected message was not shown: \"" + text + "\"");
}

void FakePlatform::expectMessage(std::string text, MessageAnswer answer)
{
    expected_.push_back({ std::move(text), answer });
}

void FakePlatform::queueAnswer(MessageAnswer answer)
{
    expected_.push_back({ std::nullopt, answer });
}

std::vector<std::string> FakePlatform::takeUnmetExpectations()
{
    std::vector<std::string> unmet;
    for (const Expectation& e : expected_)
        unmet.push_back(e.text.value_or("<any message>"));
    expected_.clear();
    return unmet;
}

std::vector<std::string> FakePlatform::messageTexts() const
{
    std::vector<std::string> texts;
    for (const Message& m : messages)
        texts.push_back(m.text);
    return texts;
}

MessageAnswer FakePlatform::messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons)
{
    messages.push_back({ text, icon, buttons });
    if (duringMessage)
        duringMessage(text);
    const MessageAnswer fallback = buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    if (expected_.empty()) {
        onFailure_(std::string("unexpected message (") + iconName(icon) + "): \"" + text + "\"");
        return fallback;
    }
    Expectation e = takeFront(expected_, Expectation { std::nullopt, fallback });
    if (e.text && *e.text != text)
        onFailure_("unexpected message: \"" + text + "\" (expected \"" + *e.text + "\")");
    return e.answer;
}

void FakePlatform::enterBusy()
{
    if (busyDepth++ == 0) {
        ++busyEntries;
        paneTextBeforeBusy_ = paneText;
    }
}

void FakePlatform::leaveBusy()
{
    if (busyDepth <= 0) {
        onFailure_("left the busy state without entering it");
        return;
    }
    if (--busyDepth == 0)
        paneText = paneTextBeforeBusy_;
}

bool FakePlatform::isEscapeDown()
{
    ++eventPumps;
    if (busyDepth == 0)
        ++pollsWhileIdle;
    if (duringPoll)
        duringPoll();
    if (escapeDownPolls <= 0)
        return false;
    --escapeDownPolls;
    return true;
}

void FakePlatform::setStatusPaneText(int pane, const std::string& text)
{
    paneText[pane] = text;
    paneHistory.emplace_back(pane, text);
}

void FakePlatform::setProgress(int percent, ColourRef colour)
{
    progressHistory.emplace_back(percent, colour);
}

int FakePlatform::getSettingInt(const std::string& section, const std::string& name, int defaultValue)
{
    auto it = intSettings.find(key(section, name));
    return it == intSettings.end() ? defaultValue : it->second;
}

void FakePlatform::setSettingInt(const std::string& section, const std::string& name, int value)
{
    intSettings[key(section, name)] = value;
}

std::string FakePlatform::getSettingText(
    const std::string& section, const std::string& name, const std::string& defaultValue)
{
    auto it = textSettings.find(key(section, name));
    return it == textSettings.end() ? defaultValue : it->second;
}

void FakePlatform::setSettingText(
    const std::string& section, const std::string& name, const std::string& value)
{
    textSettings[key(section, name)] = value;
}

std::optional<std::vector<uint8_t>> FakePlatform::clipboardImage()
{
    return clipboard;
}

std::optional<TextExtent> FakePlatform::measureText(const LogFont&, const std::string& line)
{
    if (fontFails)
        return std::nullopt;
    // As the Qt platform: an empty line has no extent.
    if (line.empty())
        return TextExtent { 0, 0 };
    return TextExtent { int32_t(line.size()) * charWidth, lineHeight };
}

std::optional<MonoBitmap> FakePlatform::renderText(
    const LogFont&, const std::string& text, int32_t width, int32_t height)
{
    if (fontFails || width <= 0 || height <= 0)
        return std::nullopt;
    // Each non-blank character becomes a solid cell of charWidth x lineHeight: enough for tests
    // to see where text landed without a real font renderer.
    MonoBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bytesPerRow = (width + 15) / 16 * 2;
    bitmap.bits.assign(size_t(bitmap.bytesPerRow) * size_t(height), 0);
    int line = 0, column = 0;
    for (char c : text) {
        if (c == '\n') {
            ++line;
            column = 0;
            continue;
        }
        if (c != ' ' && c != '\r') {
            for (int y = line * lineHeight + 1; y < (line + 1) * lineHeight + 1 && y < height; ++y)
                for (int x = column * charWidth + 1; x < (column + 1) * charWidth + 1 && x < width; ++x)
                    bitmap.bits[size_t(y) * size_t(bitmap.bytesPerRow) + size_t(x / 8)]
                        |= uint8_t(0x80 >> (x % 8));
        }
        if (c != '\r')
            ++column;
    }
    return bitmap;
}

std::optional<FileDialogResult> FakePlatform::chooseOpenFile(const FileDialogRequest& request)
{
    openRequests.push_back(request);
    return takeFront(openAnswers, std::optional<FileDialogResult> {});
}

std::optional<FileDialogResult> FakePlatform::chooseSaveFile(const FileDialogRequest& request)
{
    saveRequests.push_back(request);
    return takeFront(saveAnswers, std::optional<FileDialogResult> {});
}

std::optional<std::string> FakePlatform::chooseFolder(const std::string&, const std::string&)
{
    return takeFront(folderAnswers, std::optional<std::string> {});
}

std::optional<ColourRef> FakePlatform::chooseColour(ColourRef)
{
    return takeFront(colourAnswers, std::optional<ColourRef> {});
}

std::optional<FontChoice> FakePlatform::chooseFont(const FontChoice&)
{
    return takeFront(fontAnswers, std::optional<FontChoice> {});
}

} // namespace tessary::testing
