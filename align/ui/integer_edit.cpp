#include "align/ui/integer_edit.h"

#include "app/platform.h"
#include "merge/integer_field.h"

#include <QLineEdit>

namespace tessary {

std::optional<int32_t> checkIntegerEdit(QLineEdit* edit, int32_t min, int32_t max, Platform& platform)
{
    const IntegerField read = readIntegerField(edit->text().toStdString(), min, max);
    if (!read.value) {
        platform.messageBox(read.message, MessageIcon::Error, MessageButtons::Ok);
        // The message belongs to the main window; the correction is typed here, in a dialog
        // that may be modeless.
        edit->window()->activateWindow();
        edit->setFocus();
        edit->selectAll();
    }
    return read.value;
}

} // namespace tessary
