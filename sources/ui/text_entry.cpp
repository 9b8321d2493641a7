#include "sources/ui/text_entry.h"

#include "app/platform.h"
#include "app/ui/qt_convert.h"
#include "sources/source_doc.h"
#include "sources/text_buffer.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace tessary {

namespace {
// The background when the colour chooser is cancelled.
constexpr ColourRef kCancelledBackground = 0x808080;
constexpr ColourRef kPureRed = 0x0000FF;
}

text_entry::text_entry(
    VIrorozIzi& doc, int mode, Platform& platform, std::function<void()> tryText, QWidget* parent)
    : QDialog(parent)
    , doc_(doc)
    , platform_(platform)
    , tryText_(std::move(tryText))
{
    setObjectName("text_entry");
    setWindowTitle("Text Entry");

    auto* number = new QLabel("Selected Source " + QString::number(doc.slotIndex + 1), this);
    number->setObjectName("sourceNumber");
    field_ = new QPlainTextEdit(this);
    field_->setObjectName("text");
    field_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    field_->setLineWrapMode(QPlainTextEdit::NoWrap);
    field_->setMinimumSize(420, 220);
    field_->setPlainText(QString::fromStdString(textForField(doc.textBuffer)));
    connect(field_, &QPlainTextEdit::textChanged, this, &text_entry::limitField);

    auto button = [this](const char* name, const char* label, void (text_entry::*run)()) {
        auto* b = new QPushButton(label, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, run);
        return b;
    };
    transparent_ = new QCheckBox("Transparent background", this);
    transparent_->setObjectName("transparent");
    transparent_->setChecked(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(number, 0, 0, 1, 2);
    layout->addWidget(field_, 1, 0, 6, 1);
    layout->addWidget(button("pasteText", "Paste text", &text_entry::pasteText), 1, 1);
    layout->addWidget(button("setFont", "Set Font", &text_entry::setFont), 2, 1);
    layout->addWidget(button("zapText", "Zap Text", &text_entry::zapText), 3, 1);
    layout->addWidget(button("backColour", "Bk Gnd Color", &text_entry::backgroundColour), 4, 1);
    if (mode == 1)
        layout->addWidget(button("tryText", "Try Text", &text_entry::tryText), 5, 1);
    layout->addWidget(transparent_, 7, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* okButton = button("ok", "Ok", &text_entry::ok);
    buttons->addWidget(okButton);
    buttons->addWidget(button("cancel", "Cancel", &text_entry::reject));
    layout->addLayout(buttons, 8, 0, 1, 2);
    field_->setFocus();
}

void text_entry::limitField()
{
    if (limiting_)
        return;
    const std::string field = field_->toPlainText().toStdString();
    const std::string stored = storedTextFromField(field, SIZE_MAX);
    if (stored.size() <= kMaxEnteredText)
        return;
    limiting_ = true;
    field_->setPlainText(QString::fromStdString(textForField(capText(stored, kMaxEnteredText))));
    field_->moveCursor(QTextCursor::End);
    limiting_ = false;
}

void text_entry::pasteText()
{
    field_->paste();
    const std::string expanded = expandTabs(field_->toPlainText().toStdString());
    doc_.textBuffer = storedTextFromField(expanded, kMaxPastedText);
    limiting_ = true;
    field_->setPlainText(QString::fromStdString(textForField(doc_.textBuffer)));
    limiting_ = false;
}

void text_entry::setFont()
{
    const std::optional<FontChoice> chosen
        = platform_.chooseFont(FontChoice { doc_.textFont, doc_.textColour });
    if (!chosen)
        return;
    doc_.textFont = chosen->font;
    doc_.textColour = chosen->colour;
    field_->setFont(fontFromLogFont(doc_.textFont));
}

void text_entry::zapText()
{
    doc_.textBuffer.clear();
    field_->clear();
}

void text_entry::backgroundColour()
{
    doc_.textBackColour = platform_.chooseColour(kPureRed).value_or(kCancelledBackground);
}

void text_entry::store()
{
    doc_.textBuffer = storedTextOnOk(field_->toPlainText().toStdString());
    doc_.textTransparentBack = transparent_->isChecked() ? 1 : 0;
}

void text_entry::tryText()
{
    store();
    if (tryText_)
        tryText_();
}

void text_entry::ok()
{
    store();
    accept();
}

TextEntryDialog textEntryDialog(QWidget* parent, Platform& platform)
{
    QPointer<QWidget> owner = parent;
    return [owner, &platform](VIrorozIzi& doc, int mode, const std::function<void()>& tryText) {
        text_entry dialog(doc, mode, platform, tryText, owner);
        return dialog.exec() == QDialog::Accepted;
    };
}

} // namespace tessary
