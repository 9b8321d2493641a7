#include "align/ui/nudge_factor_dialog.h"

#include "align/nudge_factors.h"

#include <QFormLayout>
#include <QLabel>

namespace tessary {

nudge_factor::nudge_factor(Platform& platform, int32_t nudgeX, int32_t nudgeY, QWidget* parent)
    : IntegerFieldsDialog(platform, "Nudge factor", parent)
{
    setObjectName("nudge_factor");
    auto* text
        = new QLabel("Set the number of pixels to move the selected source when one of the four arrows in "
                     "the align window is clicked.",
            this);
    text->setWordWrap(true);
    form()->addRow(text);
    addField("nudgeX", "Horizontal displacement", nudgeX, kNudgeFactorMin, kNudgeFactorMax);
    addField("nudgeY", "Vertical displacement", nudgeY, kNudgeFactorMin, kNudgeFactorMax);
}

} // namespace tessary
