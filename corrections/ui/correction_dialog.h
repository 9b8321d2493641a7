#pragma once
#include "corrections/correction_session.h"
#include "image/cx_image.h"

#include <QDialog>
#include <functional>

class QLayout;

namespace tessary {

class ProgressStrip;
class ScrollTargetArrows;

// What every correction dialog of a source shares: the session with its backup (taken when the
// dialog is made; when it cannot be taken the dialog is not shown), the progress strip, the
// "Scroll Source" arrows, and the source window told after each application.
class CorrectionDialog : public QDialog {
    Q_OBJECT
public:
    // What a correction dialog needs of its source window: its document, a way to scroll it
    // by lines (dx to the right, dy down), to show the image that changed, and to record the
    // change when the dialog closes keeping it (given the image from opening).
    struct SourceWindow {
        VIrorozIzi& doc;
        Platform& platform;
        std::function<void(int, int)> scroll;
        std::function<void()> imageChanged;
        std::function<void(MaskedDib before)> changeKept;
    };

    // False when the backup could not be made: the dialog closes at once.
    bool opened() const { return session_.opened(); }
    CorrectionSession& session() { return session_; }
    ProgressStrip* progressStrip() const { return strip_; }
    ScrollTargetArrows* scrollArrows() const { return arrows_; }

    // Cancel, Esc and the close box: where `closingRestores` was given, the source gets its
    // image from opening back. However the dialog closes, a change it keeps is recorded once.
    void done(int result) override;

protected:
    // `backupFailureText` follows copyTo24Bit's own message when the backup cannot be made.
    CorrectionDialog(const SourceWindow& window, bool closingRestores, QWidget* parent,
        const char* backupFailureText = kRunOutOfMemory);

    // Runs `correct` from the backup with the strip following its rows, then tells the source
    // window. Returns what the correction made of it.
    CorrectionStatus applyCorrection(
        const std::function<CorrectionStatus(const MaskedDib& backup, MaskedDib& result, const RowProgress&)>&
            correct);
    // The scroll arrows titled `title`, for the dialogs that show them.
    ScrollTargetArrows* makeScrollArrows(const QString& title = "Scroll Source");
    // "OK", "Apply", "Cancel" (object names ok, apply, cancel): Apply runs `apply`, OK runs it and
    // closes when it returns true, Cancel rejects.
    QLayout* okApplyCancel(const std::function<bool()>& apply);

    SourceWindow window_;
    CorrectionSession session_;
    ProgressStrip* strip_ = nullptr;
    ScrollTargetArrows* arrows_ = nullptr;
    bool closingRestores_;
};

} // namespace tessary
