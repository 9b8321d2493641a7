#include "app/ui/about_box.h"

#include "app/ui/app_icon.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

QString aboutText()
{
    return QString("Tessary %1\n"
                   "Places up to eight images relative to each other and merges them into one.\n"
                   "Built with Qt %2 (running on Qt %3).\n"
                   "Licensed under the GNU General Public License, version 3 or later (GPL-3.0-or-later).")
        .arg(TESSARY_VERSION, QT_VERSION_STR, qVersion());
}

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle("About Tessary");
    auto* icon = new QLabel(this);
    icon->setObjectName("programIcon");
    icon->setPixmap(applicationIcon().pixmap(32));
    auto* line = new QLabel(aboutText(), this);
    line->setObjectName("aboutLine");
    line->setMinimumWidth(200);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
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
