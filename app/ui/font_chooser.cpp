#include "app/ui/font_chooser.h"

#include "app/ui/qt_convert.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

font_chooser::font_chooser(const FontChoice& initial, QWidget* parent)
    : QDialog(parent)
    , initial_(initial)
    , colour_(initial.colour)
{
    setObjectName("font_chooser");
    setWindowTitle("Font");
    fonts_ = new QFontDialog(fontFromLogFont(initial.font), this);
    fonts_->setObjectName("fonts");
    // Shown inside this dialog, with this dialog's buttons.
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);

    auto* colourButton = new QPushButton("Color...", this);
    colourButton->setObjectName("colour");
    connect(colourButton, &QPushButton::clicked, this, &font_chooser::chooseColour);
    swatch_ = new QLabel(this);
    swatch_->setObjectName("swatch");
    swatch_->setFixedSize(48, 20);
    swatch_->setAutoFillBackground(true);
    showColour();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel("Color:", this));
    colourRow->addWidget(swatch_);
    colourRow->addWidget(colourButton);
    colourRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
}

FontChoice font_chooser::choice() const
{
    return FontChoice { logFontFromFont(fonts_->currentFont(), initial_.font), colour_ };
}

void font_chooser::chooseColour()
{
    const QColor chosen
        = QColorDialog::getColor(QColor(redOf(colour_), greenOf(colour_), blueOf(colour_)), this, "Color");
    if (!chosen.isValid())
        return;
    colour_ = makeColourRef(uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue()));
    showColour();
}

void font_chooser::showColour()
{
    QPalette palette = swatch_->palette();
    palette.setColor(QPalette::Window, QColor(redOf(colour_), greenOf(colour_), blueOf(colour_)));
    swatch_->setPalette(palette);
}

} // namespace tessary
