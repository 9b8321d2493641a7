#include "corrections/ui/skew_dialog.h"

#include "app/platform.h"
#include "corrections/skew.h"
#include "corrections/ui/progress_strip.h"
#include "merge/integer_field.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

namespace {
// The picture beside the field: a rectangle leaning from the vertical, the angle marked.
QPixmap skewPicture()
{
    QPixmap picture(40, 40);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    painter.drawLine(8, 36, 8, 4);
    painter.setPen(QPen(Qt::blue, 2));
    painter.drawPolygon(QPolygon({ QPoint(8, 36), QPoint(24, 36), QPoint(34, 6), QPoint(18, 6) }));
    return picture;
}
}

skew::skew(const SourceWindow& window, QWidget* parent)
    : CorrectionDialog(window, true, parent)
{
    setObjectName("skew");
    setWindowTitle("Skew");

    angle_ = new QLineEdit(QString::number(kSkewAngle.start), this);
    angle_->setObjectName("skewAngle");
    angle_->setMaximumWidth(60);
    auto* picture = new QLabel(this);
    picture->setPixmap(skewPicture());
    auto* field = new QHBoxLayout;
    field->addWidget(new QLabel("Skew angle from vertical", this));
    field->addWidget(angle_);
    field->addWidget(new QLabel("degrees", this));
    field->addWidget(picture);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(strip_);
    layout->addLayout(okApplyCancel([this] { return apply(); }));
}

bool skew::apply()
{
    const IntegerField field = readIntegerField(angle_->text().toStdString(), kSkewAngle.min, kSkewAngle.max);
    if (!field.value) {
        window_.platform.messageBox(field.message, MessageIcon::Error, MessageButtons::Ok);
        angle_->setFocus();
        angle_->selectAll();
        return false;
    }
    const int32_t angle = *field.value;
    const CorrectionStatus status
        = applyCorrection([angle](const MaskedDib& backup, MaskedDib& result, const RowProgress& progress) {
              return applySkew(backup, angle, result, progress);
          });
    if (status == CorrectionStatus::Refused)
        window_.platform.messageBox(kSkewNoRowsText, MessageIcon::Error, MessageButtons::Ok);
    return true;
}

} // namespace tessary
