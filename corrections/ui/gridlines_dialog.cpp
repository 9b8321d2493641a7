#include "corrections/ui/gridlines_dialog.h"

#include "app/platform.h"
#include "corrections/ui/progress_strip.h"
#include "merge/integer_field.h"
#include "sources/source_doc.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

namespace {
struct FieldSpec {
    const char* name;
    const char* label;
    SettingRange range;
};
constexpr FieldSpec kFields[5] = {
    { "solidX", "X", GridValues::kSolidSpacing },
    { "solidY", "Y", GridValues::kSolidSpacing },
    { "dottedX", "X", GridValues::kDottedSpacing },
    { "dottedY", "Y", GridValues::kDottedSpacing },
    { "thickness", "Set grid thickness", GridValues::kThickness },
};
}

gridlines::gridlines(const SourceWindow& window, QWidget* parent)
    : CorrectionDialog(window, true, parent, nullptr)
{
    setObjectName("gridlines");
    setWindowTitle("Grid Lines");

    for (int n = 0; n < 5; ++n) {
        fields_[n] = new QLineEdit(QString::number(kFields[n].range.start), this);
        fields_[n]->setObjectName(kFields[n].name);
        fields_[n]->setMaximumWidth(70);
    }
    auto group = [this](const char* title, QCheckBox*& enable, const char* name, int first) {
        auto* box = new QGroupBox(title, this);
        enable = new QCheckBox("Enable", box);
        enable->setObjectName(name);
        auto* form = new QFormLayout(box);
        form->addRow(enable);
        form->addRow(kFields[first].label, fields_[first]);
        form->addRow(kFields[first + 1].label, fields_[first + 1]);
        return box;
    };
    auto* grids = new QHBoxLayout;
    grids->addWidget(group("Solid Grid", solid_, "solidEnable", 0));
    grids->addWidget(group("Dotted Grid", dotted_, "dottedEnable", 2));

    auto* thickness = new QFormLayout;
    thickness->addRow(kFields[4].label, fields_[4]);
    colourButton_ = new QPushButton("Grid Color", this);
    colourButton_->setObjectName("gridColor");
    colourButton_->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Set pixel spacing between solid and/or dotted grid.", this));
    layout->addLayout(grids);
    layout->addLayout(thickness);
    layout->addWidget(colourButton_, 0, Qt::AlignLeft);
    layout->addWidget(new QLabel("Note that commands entered are accumulative.", this));
    layout->addLayout(okApplyCancel([this] { return apply(); }));
    apply_ = findChild<QPushButton*>("apply");
    apply_->setEnabled(false);
    strip_->hide();

    const auto enableApply = [this] { apply_->setEnabled(true); };
    connect(solid_, &QCheckBox::clicked, this, enableApply);
    connect(dotted_, &QCheckBox::clicked, this, enableApply);
    for (QLineEdit* field : fields_)
        connect(field, &QLineEdit::textEdited, this, enableApply);
    connect(colourButton_, &QPushButton::clicked, this, &gridlines::chooseColour);
}

void gridlines::chooseColour()
{
    if (const std::optional<ColourRef> chosen = window_.platform.chooseColour(colour_))
        colour_ = *chosen;
}

std::optional<GridValues> gridlines::readFields()
{
    int32_t value[5];
    for (int n = 0; n < 5; ++n) {
        const IntegerField read
            = readIntegerField(fields_[n]->text().toStdString(), kFields[n].range.min, kFields[n].range.max);
        if (!read.value) {
            window_.platform.messageBox(read.message, MessageIcon::Error, MessageButtons::Ok);
            fields_[n]->setFocus();
            fields_[n]->selectAll();
            return std::nullopt;
        }
        value[n] = *read.value;
    }
    return GridValues { solid_->isChecked(), value[0], value[1], dotted_->isChecked(), value[2], value[3],
        value[4], colour_ };
}

bool gridlines::apply()
{
    const std::optional<GridValues> values = readFields();
    if (!values)
        return false;
    // The grid adds up on the image as it is, not on the backup.
    MaskedDib* canvas = session_.imageToDrawOn();
    if (!canvas)
        return false;
    drawGrid(*canvas, *values);
    if (window_.imageChanged)
        window_.imageChanged();
    return true;
}

} // namespace tessary
