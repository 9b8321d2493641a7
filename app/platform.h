#pragma once
#include "image/colour.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

enum class MessageIcon { Plain, Error, Question, Information, Warning };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// A font as the program describes it (the fields of a Windows LOGFONT).
struct LogFont {
    int32_t height = -54;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 400;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::string faceName = "Times New Roman";
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

struct TextExtent {
    int32_t width = 0;
    int32_t height = 0;
};

// One bit per pixel, rows top line first, each row `bytesPerRow` long, most significant bit
// first; a set bit is text (white), a clear bit the background.
struct MonoBitmap {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerRow = 0;
    std::vector<uint8_t> bits;
};

// A file chooser request. `filter` is the program's "label|pattern|...||" list; `filterIndex`
// is 1-based (0: the first filter).
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string initialFolder;
    int filterIndex = 0;
    std::string initialName;
    // One more choice shown under the file list (Save As's "Keep metadata from:"): its label,
    // its entries and the entry selected at first. Not shown when there are no entries.
    std::string choiceLabel;
    std::vector<std::string> choices;
    int choiceIndex = 0;
};

struct FileDialogResult {
    std::string path;
    int filterIndex = 1;
    // The entry of the request's choice the user left selected; -1 keeps the one it offered.
    int choiceIndex = -1;
};

struct FontChoice {
    LogFont font;
    ColourRef colour = 0;
};

// Everything the core needs from the windowing platform. The Qt layer implements it for the
// real program; tests use a scripted fake. All calls come from the user-interface thread.
class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box; returns the button pressed (Ok for an OK box).
    virtual MessageAnswer messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;

    // The busy state of long work; calls nest, and LongOperation makes them. While busy, no user
    // input but Esc reaches any window (the rest is discarded, not queued for later), paints
    // still happen and the pointer shows that the program is busy; leaving the outermost level
    // puts back the texts status panes 0 and 2 showed on entering it.
    virtual void enterBusy() = 0;
    virtual void leaveBusy() = 0;
    // Lets pending paints happen, then tells whether the Esc key is held down at this moment.
    virtual bool isEscapeDown() = 0;

    // Paint a text into status pane 0 or 2 (not kept: the next repaint of the bar removes it).
    virtual void setStatusPaneText(int pane, const std::string& text) = 0;
    // The progress bar of pane 3: `percent` 0..100 in `colour`.
    virtual void setProgress(int percent, ColourRef colour) = 0;
    // A passing line in the status bar's message area, apart from the panes (shown for a few
    // seconds): what an edit, an undo or a redo could not do. Nothing where there is no bar.
    virtual void showStatusMessage(const std::string& /*text*/) { }

    // Per-user settings by section and value name.
    virtual int getSettingInt(const std::string& section, const std::string& name, int defaultValue) = 0;
    virtual void setSettingInt(const std::string& section, const std::string& name, int value) = 0;
    virtual std::string getSettingText(
        const std::string& section, const std::string& name, const std::string& defaultValue)
        = 0;
    virtual void setSettingText(const std::string& section, const std::string& name, const std::string& value)
        = 0;

    // The clipboard's device-independent bitmap as one block (header, colour table, pixels),
    // or nothing when the clipboard holds no image.
    virtual std::optional<std::vector<uint8_t>> clipboardImage() = 0;
    // Whether the clipboard offers an image, without converting it.
    virtual bool clipboardHasImage() = 0;

    // Text measuring and rendering into a one-bit bitmap; nothing when the font cannot be made.
    // The renderer draws from (1, 1), every line of `text` (lines end in CR LF, tabs expanded)
    // one measured line height below the one before.
    virtual std::optional<TextExtent> measureText(const LogFont& font, const std::string& line) = 0;
    virtual std::optional<MonoBitmap> renderText(
        const LogFont& font, const std::string& text, int32_t width, int32_t height)
        = 0;

    // Choosers: nothing when the user cancels.
    virtual std::optional<FileDialogResult> chooseOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> chooseSaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> chooseFolder(
        const std::string& title, const std::string& initialFolder)
        = 0;
    virtual std::optional<ColourRef> chooseColour(ColourRef initial) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;
};

} // namespace tessary
