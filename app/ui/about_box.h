#pragma once
#include <QDialog>

namespace tessary {

// The About box: the program icon, the program's line and an OK button.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent);
};

} // namespace tessary
