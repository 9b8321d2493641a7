#pragma once
#include <QDialog>

namespace tessary {

// The About box's text: the program's name and version, what it does, the Qt it was built with
// and runs on, and its licence.
QString aboutText();

// The About box: the program icon, the text above and an OK button.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent);
};

} // namespace tessary
