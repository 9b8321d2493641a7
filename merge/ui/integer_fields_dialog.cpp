#include "merge/ui/integer_fields_dialog.h"

#include "app/platform.h"
#include "merge/integer_field.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

IntegerFieldsDialog::IntegerFieldsDialog(Platform& platform, const QString& title, QWidget* parent)
    : QDialog(parent)
    , platform_(platform)
{
    setWindowTitle(title);
    form_ = new QFormLayout;
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &IntegerFieldsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addWidget(buttons);
}

QLineEdit* IntegerFieldsDialog::addField(
    const char* name, const QString& label, int32_t initial, int32_t min, int32_t max)
{
    auto* edit = new QLineEdit(QString::number(initial), this);
    edit->setObjectName(name);
    form_->addRow(label, edit);
    fields_.append(Field { edit, min, max });
    return edit;
}

void IntegerFieldsDialog::accept()
{
    QList<int32_t> values;
    for (const Field& f : fields_) {
        const IntegerField read = readIntegerField(f.edit->text().toStdString(), f.min, f.max);
        if (!read.value) {
            platform_.messageBox(read.message, MessageIcon::Error, MessageButtons::Ok);
            f.edit->setFocus();
            f.edit->selectAll();
            return;
        }
        values.append(*read.value);
    }
    values_ = values;
    QDialog::accept();
}

} // namespace tessary
