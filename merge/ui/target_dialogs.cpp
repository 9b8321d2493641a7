#include "merge/ui/target_dialogs.h"

#include "merge/target_commands.h"
#include "merge/target_doc.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tessary {

target_view_size::target_view_size(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("target_view_size");
    setWindowTitle("Target View Size");
    auto* layout = new QVBoxLayout(this);
    auto* group = new QButtonGroup(this);
    for (int32_t percent : kViewingSizes) {
        auto* radio = new QRadioButton(QString::number(percent) + "%", this);
        radio->setObjectName("viewSize" + QString::number(percent));
        radio->setProperty("percent", percent);
        radio->setChecked(percent == 100);
        group->addButton(radio);
        layout->addWidget(radio);
    }
    layout->addWidget(new QLabel("This feature has no effect on the size of the final saved image.", this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QRadioButton* target_view_size::choice(int32_t percent) const
{
    return findChild<QRadioButton*>("viewSize" + QString::number(percent));
}

int32_t target_view_size::percent() const
{
    for (int32_t percent : kViewingSizes)
        if (choice(percent)->isChecked())
            return percent;
    return 100;
}

set_margin::set_margin(Platform& platform, QWidget* parent)
    : IntegerFieldsDialog(platform, "Set Margin", parent)
{
    setObjectName("set_margin");
    addField("marginX", "Set left and right margin", kMargin.start, kMargin.min, kMargin.max);
    addField("marginY", "Set top and bottom margin", kMargin.start, kMargin.min, kMargin.max);
}

} // namespace tessary
