#pragma once
#include "app/platform.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace tessary {

// The platform port on Qt: message boxes, the Esc state, status-bar panes, QSettings under
// organisation "Vuzezur Adadarize" and application "Tessary", the clipboard, text rendering
// and the standard choosers.
class QtPlatform : public QObject, public Platform {
    Q_OBJECT
public:
    // Receives pane texts (panes 0 and 2) and the progress of pane 3; the main frame sets it.
    struct StatusSink {
        virtual ~StatusSink() = default;
        virtual void paintPaneText(int pane, const QString& text) = 0;
        virtual QString paneText(int pane) const = 0;
        virtual void paintProgress(int percent, ColourRef colour) = 0;
        // A passing line in the bar's message area.
        virtual void showPassingMessage(const QString& text) = 0;
    };

    explicit QtPlatform(QObject* parent = nullptr);
    ~QtPlatform() override;

    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }
    void setStatusSink(StatusSink* sink) { statusSink_ = sink; }

    MessageAnswer messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    void enterBusy() override;
    void leaveBusy() override;
    // Whether Esc is held, or was pressed and let go while busy since the last call.
    bool isEscapeDown() override;
    bool isBusy() const { return busyDepth_ > 0; }
    void setStatusPaneText(int pane, const std::string& text) override;
    void showStatusMessage(const std::string& text) override;
    void setProgress(int percent, ColourRef colour) override;
    int getSettingInt(const std::string& section, const std::string& name, int defaultValue) override;
    void setSettingInt(const std::string& section, const std::string& name, int value) override;
    std::string getSettingText(
        const std::string& section, const std::string& name, const std::string& defaultValue) override;
    void setSettingText(
        const std::string& section, const std::string& name, const std::string& value) override;
    std::optional<std::vector<uint8_t>> clipboardImage() override;
    bool clipboardHasImage() override;
    std::optional<TextExtent> measureText(const LogFont& font, const std::string& line) override;
    std::optional<MonoBitmap> renderText(
        const LogFont& font, const std::string& text, int32_t width, int32_t height) override;
    std::optional<FileDialogResult> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseFolder(
        const std::string& title, const std::string& initialFolder) override;
    std::optional<ColourRef> chooseColour(ColourRef initial) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;

protected:
    // Tracks the Esc key for the whole application and, while busy, discards user input.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether `event` is user input that must not reach `watched` while busy.
    bool isDiscardedWhileBusy(QObject* watched, QEvent* event) const;

    QWidget* dialogParent_ = nullptr;
    StatusSink* statusSink_ = nullptr;
    bool escapeDown_ = false;
    // Esc was pressed while busy since the work last asked (see isEscapeDown).
    bool escapePressed_ = false;
    int busyDepth_ = 0;
    // The platform's own message boxes opened while busy: the only windows that take input then.
    QList<QWidget*> busyMessageBoxes_;
    QString paneTextBeforeBusy_[3];
};

} // namespace tessary
