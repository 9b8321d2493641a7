#include "app/ui/about_box.h"

#include "app/ui/app_icon.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle("About Tessary");
    auto* icon = new QLabel(this);
    icon->setObjectName("programIcon");
    icon->setPixmap(applicationIcon().pixmap(32));
    // The box's one line of text is empty.
    auto* line = new QLabel(QString(), this);
    line->setObjectName("aboutLine");
    line->setMinimumWidth(200);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(line, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

} // namespace tessary
