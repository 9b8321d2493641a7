#pragma once
#include <QDialog>
#include <QList>
#include <cstdint>

class QFormLayout;
class QLineEdit;

namespace tessary {

class Platform;

// A dialog of integer edit fields checked when OK is pressed, as the framework's dialogs check
// theirs: the first field that is not an integer within its range shows "Please enter an
// integer." or "Enter an integer between %1 and %2." (through the platform), takes the focus
// with its text selected, and the dialog stays open.
class IntegerFieldsDialog : public QDialog {
    Q_OBJECT
public:
    IntegerFieldsDialog(Platform& platform, const QString& title, QWidget* parent);

    // Adds a field with its label, opening at `initial`.
    QLineEdit* addField(const char* name, const QString& label, int32_t initial, int32_t min, int32_t max);
    // The values of the fields, in order; valid after the dialog was accepted.
    int32_t value(int index) const { return values_.value(index); }
    QLineEdit* field(int index) const { return fields_.value(index).edit; }

    void accept() override;

protected:
    // Where fields go; a subclass may put a line of text above them first.
    QFormLayout* form() const { return form_; }

private:
    struct Field {
        QLineEdit* edit;
        int32_t min;
        int32_t max;
    };
    Platform& platform_;
    QFormLayout* form_ = nullptr;
    QList<Field> fields_;
    QList<int32_t> values_;
};

} // namespace tessary
