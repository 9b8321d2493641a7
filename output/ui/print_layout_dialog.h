#pragma once
#include "image/packed_dib.h"
#include "output/print_geometry.h"
#include "output/print_layout.h"

#include <QDialog>
#include <QWidget>
#include <array>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessary {

class MergeWorkspace;
class Platform;

// The live page preview of the layout dialog: the page in the printer's proportions and the
// picture laid out on it as the dialog's state says.
class print_preview : public QWidget {
    Q_OBJECT
public:
    print_preview(
        const PrintLayout& layout, const PrinterMetrics& metrics, const PackedDib* picture, QWidget* parent);
    // The page rectangle and the picture's rectangle on it, in this widget's pixels.
    PreviewPage page() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PrintLayout& layout_;
    PrinterMetrics metrics_;
    const PackedDib* picture_;
};

// "Configure Print Layout": the picture's placement on the page of the chosen printer, with a
// live preview. It opens at the printable size with the aspect kept and the picture at the top;
// Apply takes the typed lengths over (checked against their ranges first, as Print does), and
// Print keeps only what was applied.
class print_layout : public QDialog {
    Q_OBJECT
public:
    // `metrics` must be usable. The picture (the target, or its zone) is taken once, here.
    print_layout(const MergeWorkspace& workspace, Platform& platform, const PrinterMetrics& metrics,
        QWidget* parent = nullptr);
    ~print_layout() override;

    const PrintLayout& layout() const { return layout_; }
    // What Print hands to the printing: valid after the dialog was accepted.
    PrintSettings settings() const { return layoutSettings(layout_); }
    print_preview* preview() const { return preview_; }

    void accept() override;

private:
    // Reads the buttons and then the four fields in order; false after the message of the first
    // field that is not a number in its range (the earlier ones are taken).
    bool readControls();
    // Writes the four edit values into their fields.
    void showValues();
    void showField(PrintLayout::Field field);
    void syncEnabled();
    void apply();

    Platform& platform_;
    PrinterMetrics metrics_;
    PrintLayout layout_;
    std::unique_ptr<PackedDib> picture_;
    std::array<QRadioButton*, 3> align_ {};
    QCheckBox* keepAspect_ = nullptr;
    QPushButton* stretch_ = nullptr;
    QCheckBox* millimetres_ = nullptr;
    std::array<QLineEdit*, 4> edits_ {};
    QPushButton* apply_ = nullptr;
    print_preview* preview_ = nullptr;
};

} // namespace tessary
