#include "output/ui/print_layout_dialog.h"

#include "app/platform.h"
#include "output/extract_target_image.h"
#include "output/number_field.h"
#include "output/print_geometry.h"
#include "output/ui/draw_nearest.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace tessary {

namespace {
// The preview's page is this wide unless the screen is too low for the page's height.
constexpr int32_t kPageWidth = 300;
// The controls stand where the preview's first 130 pixels would be: the page starts this far
// right of them.
constexpr int32_t kPageGap = 10;
constexpr int32_t kPreviewLeft = 130;

QRect qRect(const PageRect& r)
{
    return QRect(int(r.left), int(r.top), int(r.width()), int(r.height()));
}
}

print_preview::print_preview(
    const PrintLayout& layout, const PrinterMetrics& metrics, const PackedDib* picture, QWidget* parent)
    : QWidget(parent)
    , layout_(layout)
    , metrics_(metrics)
    , picture_(picture)
{
    setObjectName("preview");
    // Wide enough for the page, and high enough for a portrait page, on the screen at hand.
    int32_t pageWidth = kPageWidth;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().height() - 120 : 2000;
    while (pageWidth > 60 && previewClientSize(metrics, pageWidth).height > available)
        pageWidth -= 10;
    const ClientSize size = previewClientSize(metrics, pageWidth);
    setMinimumSize(size.width - kPreviewLeft + kPageGap, std::max(size.height, 200));
}

PreviewPage print_preview::page() const
{
    const PageRect client { kPageGap - kPreviewLeft, 0, width(), height() };
    return previewPage(
        layout_, metrics_, client, picture_ ? picture_->width() : 0, picture_ ? picture_->height() : 0);
}

void print_preview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const PreviewPage preview = page();
    if (preview.picture && picture_)
        drawNearest(painter, *picture_, *preview.picture, PageRect { 0, 0, width(), height() });
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    const QRect outline = qRect(preview.page);
    if (outline.width() > 0 && outline.height() > 0)
        painter.drawRect(outline.adjusted(0, 0, -1, -1));
}

print_layout::print_layout(
    const MergeWorkspace& workspace, Platform& platform, const PrinterMetrics& metrics, QWidget* parent)
    : QDialog(parent)
    , platform_(platform)
    , metrics_(metrics)
    , layout_(initialPrintLayout(metrics))
{
    setObjectName("print_layout");
    setWindowTitle("Configure Print Layout");
    picture_ = extractTargetImage(workspace, platform);

    auto* controls = new QVBoxLayout;
    static constexpr const char* kAlignNames[] = { "alignTop", "alignMiddle", "alignBottom" };
    static constexpr const char* kAlignLabels[] = { "Align to top", "Align to middle", "Align to bottom" };
    for (size_t i = 0; i < 3; ++i) {
        align_[i] = new QRadioButton(kAlignLabels[i], this);
        align_[i]->setObjectName(kAlignNames[i]);
        connect(align_[i], &QRadioButton::clicked, this, [this] {
            readControls();
            preview_->update();
        });
        controls->addWidget(align_[i]);
    }
    keepAspect_ = new QCheckBox("Keep aspect ratio", this);
    keepAspect_->setObjectName("keepAspect");
    connect(keepAspect_, &QCheckBox::clicked, this, [this] {
        readControls();
        keepAspectClicked(layout_);
        syncEnabled();
        showValues();
        preview_->update();
    });
    controls->addWidget(keepAspect_);
    stretch_ = new QPushButton("Stretch/compress to fit page", this);
    stretch_->setObjectName("stretchToPage");
    stretch_->setCheckable(true);
    stretch_->setAutoDefault(false);
    connect(stretch_, &QPushButton::clicked, this, [this] {
        readControls();
        stretchClicked(layout_);
        syncEnabled();
        if (!layout_.stretchToPage)
            showValues();
        preview_->update();
    });
    controls->addWidget(stretch_);
    millimetres_ = new QCheckBox("Dimensions in mm.", this);
    millimetres_->setObjectName("useMillimetres");
    connect(millimetres_, &QCheckBox::clicked, this, [this] {
        millimetresClicked(layout_);
        showValues();
    });
    controls->addWidget(millimetres_);

    auto* fields = new QFormLayout;
    static constexpr const char* kFieldNames[] = { "leftMargin", "topMargin", "printWidth", "printHeight" };
    static constexpr const char* kFieldLabels[] = { "Left margin", "Top margin", "Width", "Height" };
    for (size_t i = 0; i < 4; ++i) {
        edits_[i] = new QLineEdit(this);
        edits_[i]->setObjectName(kFieldNames[i]);
        edits_[i]->setMaximumWidth(90);
        fields->addRow(kFieldLabels[i], edits_[i]);
    }
    controls->addLayout(fields);
    apply_ = new QPushButton("Apply", this);
    apply_->setObjectName("apply");
    apply_->setAutoDefault(false);
    connect(apply_, &QPushButton::clicked, this, &print_layout::apply);
    controls->addWidget(apply_);
    controls->addStretch(1);
    auto* print = new QPushButton("Print", this);
    print->setObjectName("print");
    print->setDefault(true);
    connect(print, &QPushButton::clicked, this, &print_layout::accept);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &print_layout::reject);
    controls->addWidget(print);
    controls->addWidget(cancel);

    preview_ = new print_preview(layout_, metrics_, picture_.get(), this);
    auto* whole = new QHBoxLayout(this);
    whole->addLayout(controls);
    whole->addWidget(preview_, 1);

    showValues();
    syncEnabled();
}

print_layout::~print_layout() = default;

bool print_layout::readControls()
{
    layout_.alignTop = align_[0]->isChecked();
    layout_.alignMiddle = align_[1]->isChecked();
    layout_.alignBottom = align_[2]->isChecked();
    layout_.keepAspect = keepAspect_->isChecked();
    layout_.stretchToPage = stretch_->isChecked();
    for (size_t i = 0; i < 4; ++i) {
        const FieldRange range = fieldRange(layout_, PrintLayout::Field(i));
        const NumberField read = readNumberField(edits_[i]->text().toStdString(), range.min, range.max);
        if (!read.value) {
            platform_.messageBox(read.message, MessageIcon::Error, MessageButtons::Ok);
            edits_[i]->setFocus();
            edits_[i]->selectAll();
            return false;
        }
        layout_.edit[i] = *read.value;
    }
    return true;
}

void print_layout::showField(PrintLayout::Field field)
{
    edits_[field]->setText(QString::fromStdString(formatNumber(layout_.edit[field])));
}

void print_layout::showValues()
{
    for (size_t i = 0; i < 4; ++i)
        showField(PrintLayout::Field(i));
    align_[0]->setChecked(layout_.alignTop != 0);
    align_[1]->setChecked(layout_.alignMiddle != 0);
    align_[2]->setChecked(layout_.alignBottom != 0);
    keepAspect_->setChecked(layout_.keepAspect != 0);
    stretch_->setChecked(layout_.stretchToPage != 0);
    millimetres_->setChecked(layout_.useMillimetres);
}

void print_layout::syncEnabled()
{
    for (QRadioButton* radio : align_)
        radio->setEnabled(layout_.alignEnabled);
    for (QLineEdit* edit : edits_)
        edit->setEnabled(layout_.editsEnabled);
    apply_->setEnabled(layout_.editsEnabled);
    stretch_->setEnabled(layout_.stretchEnabled);
}

void print_layout::apply()
{
    if (!readControls())
        return;
    const double width = layout_.edit[PrintLayout::kWidth], height = layout_.edit[PrintLayout::kHeight];
    applyLayout(layout_, metrics_);
    // Only a size Apply replaced is written back; the other fields keep what was typed.
    if (layout_.edit[PrintLayout::kWidth] != width)
        showField(PrintLayout::kWidth);
    if (layout_.edit[PrintLayout::kHeight] != height)
        showField(PrintLayout::kHeight);
    preview_->update();
}

void print_layout::accept()
{
    if (!readControls())
        return;
    QDialog::accept();
}

} // namespace tessary
