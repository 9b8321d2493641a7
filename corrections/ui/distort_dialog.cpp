#include "corrections/ui/distort_dialog.h"

#include "app/platform.h"
#include "corrections/pincushion.h"
#include "corrections/pincushion_fields.h"
#include "corrections/ui/progress_strip.h"
#include "merge/ui/scroll_target_arrows.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace tessary {

show_distort::show_distort(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("show_distort");
    setMinimumSize(240, 140);
}

void show_distort::setTerms(double k3, double k5)
{
    k3_ = k3;
    k5_ = k5;
    update();
}

QRect show_distort::plotRect() const
{
    return rect().adjusted(3, 3, -3, -3);
}

QPolygon show_distort::curve() const
{
    const QRect r = plotRect();
    const int d = r.right() - r.left(), h = (r.bottom() - r.top()) / 2, middle = r.top() + h;
    QPolygon points;
    for (int i = 0; i < d; ++i)
        points << QPoint(r.left() + i, middle + distortCurveOffset(i, d, h, k3_, k5_));
    return points;
}

void show_distort::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect().adjusted(2, 2, -2, -2), Qt::white);
    const QRect r = plotRect();
    const int d = r.right() - r.left(), middle = r.top() + (r.bottom() - r.top()) / 2;
    painter.setPen(QPen(QColor(0xE0, 0xE0, 0xE0), 1, Qt::DotLine));
    for (int n = 1; n <= 9; ++n)
        painter.drawLine(r.left() + d * n / 10, r.top(), r.left() + d * n / 10, r.bottom());
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawLine(r.left(), middle, r.right(), middle);
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.drawPolyline(curve());
}

distort::distort(const SourceWindow& window, QWidget* parent)
    : CorrectionDialog(window, true, parent, kDistortNoMemoryText)
{
    setObjectName("distort");
    setWindowTitle("Pincushion Barrel Distortion");

    third_ = new QLineEdit(kDistortZeroText, this);
    third_->setObjectName("thirdTerm");
    fifth_ = new QLineEdit(kDistortZeroText, this);
    fifth_->setObjectName("fifthTerm");
    auto* fields = new QFormLayout;
    fields->addRow("Third term", third_);
    fields->addRow("Fifth term", fifth_);

    curve_ = new show_distort(this);
    auto* plot = new QGridLayout;
    plot->addWidget(new QLabel("Radial\nDeviation", this), 0, 0, 3, 1, Qt::AlignVCenter);
    plot->addWidget(new QLabel("+100%", this), 0, 1, Qt::AlignTop | Qt::AlignRight);
    plot->addWidget(new QLabel("0", this), 1, 1, Qt::AlignVCenter | Qt::AlignRight);
    plot->addWidget(new QLabel("-100%", this), 2, 1, Qt::AlignBottom | Qt::AlignRight);
    plot->addWidget(curve_, 0, 2, 3, 1);
    plot->addWidget(new QLabel("0            Distance from center               max.", this), 3, 2);

    auto* note = new QLabel("Values to be within + or - 1. Certain combinations of numbers within this range "
                            "may be too large and Tessary will warn if so.",
        this);
    note->setWordWrap(true);

    auto* side = new QVBoxLayout;
    side->addLayout(fields);
    side->addWidget(note);
    side->addWidget(makeScrollArrows("Scroll source"), 0, Qt::AlignHCenter);
    auto* top = new QHBoxLayout;
    top->addLayout(plot, 1);
    top->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(strip_);
    layout->addLayout(okApplyCancel([this] { return apply(); }));

    connect(third_, &QLineEdit::textEdited, this, [this] { fieldEdited(true); });
    connect(fifth_, &QLineEdit::textEdited, this, [this] { fieldEdited(false); });
}

void distort::fieldEdited(bool third)
{
    const DistortTerms t
        = distortFieldsEdited(third_->text().toStdString(), fifth_->text().toStdString(), third);
    if (t.rewriteThird)
        third_->setText(kDistortZeroText);
    if (t.rewriteFifth)
        fifth_->setText(kDistortZeroText);
    curve_->setTerms(t.k3, t.k5);
}

bool distort::apply()
{
    const double k3 = readDecimal(third_->text().toStdString());
    const double k5 = readDecimal(fifth_->text().toStdString());
    for (QLineEdit* field : { third_, fifth_ })
        if (readDecimal(field->text().toStdString()) == 0)
            field->setText(kDistortZeroText);
    const CorrectionStatus status
        = applyCorrection([k3, k5](const MaskedDib& backup, MaskedDib& result, const RowProgress& progress) {
              return applyPincushionTerms(backup, k3, k5, result, progress);
          });
    if (status == CorrectionStatus::Refused)
        window_.platform.messageBox(kDistortValuesTooLarge, MessageIcon::Error, MessageButtons::Ok);
    return status == CorrectionStatus::Done;
}

} // namespace tessary
