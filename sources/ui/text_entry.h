#pragma once
#include "sources/edit_text.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;

namespace tessary {

class Platform;
class VIrorozIzi;

// The "Text Entry" dialog: the text of a text source with its font, text and background
// colours and transparent background. It edits the document's fields directly; `tryText`
// ("Try Text", mode 1 only) renders the stored text into the source at once.
class text_entry : public QDialog {
    Q_OBJECT
public:
    text_entry(VIrorozIzi& doc, int mode, Platform& platform, std::function<void()> tryText,
        QWidget* parent = nullptr);

    QPlainTextEdit* field() const { return field_; }

private:
    void pasteText();
    void setFont();
    void zapText();
    void backgroundColour();
    // Stores the field's text with its closing line end and the check box, as Ok does.
    void store();
    void tryText();
    void ok();
    // Keeps the field within what the text buffer holds.
    void limitField();

    VIrorozIzi& doc_;
    Platform& platform_;
    std::function<void()> tryText_;
    QPlainTextEdit* field_ = nullptr;
    QCheckBox* transparent_ = nullptr;
    bool limiting_ = false;
};

// The text entry as the core runs it, with dialogs parented to `parent`.
TextEntryDialog textEntryDialog(QWidget* parent, Platform& platform);

} // namespace tessary
