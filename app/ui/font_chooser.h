#pragma once
#include "app/platform.h"

#include <QDialog>

class QFontDialog;
class QLabel;

namespace tessary {

// The font chooser with effects including colour: Qt's font chooser, which has no colour, with
// a colour choice beside it.
class font_chooser : public QDialog {
    Q_OBJECT
public:
    font_chooser(const FontChoice& initial, QWidget* parent = nullptr);

    FontChoice choice() const;

private:
    void chooseColour();
    void showColour();

    FontChoice initial_;
    ColourRef colour_;
    QFontDialog* fonts_ = nullptr;
    QLabel* swatch_ = nullptr;
};

} // namespace tessary
