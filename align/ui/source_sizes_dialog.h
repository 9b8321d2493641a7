#pragma once
#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;

namespace tessary {

class MergeWorkspace;
class Platform;

// "Source -  Image Sizes" (the program's source_sizes): the width and height in pixels, before
// any rotation, of every loaded source, entered as whole pixels 1 to 30000, with both as
// percents of the original beside them. Rows of places without a source are left out, and the
// dialog and its percent frame are 36 pixels shorter for each.
//
// Apply checks every field (the range message for the first one that fails; nothing is applied
// then), sets every source's scales and transforms it again; when a transformation fails the
// dialog ends with result -1 once all sources were processed. Ok applies and closes.
class source_sizes : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 36;

    source_sizes(MergeWorkspace& workspace, Platform& platform, QWidget* parent);

    // Row `number` (1..8); null for places without a source.
    QLineEdit* widthEdit(int number) const { return rows_[size_t(number - 1)].width; }
    QLineEdit* heightEdit(int number) const { return rows_[size_t(number - 1)].height; }
    QLineEdit* widthPercent(int number) const { return rows_[size_t(number - 1)].percentX; }
    QLineEdit* heightPercent(int number) const { return rows_[size_t(number - 1)].percentY; }
    QGroupBox* percentFrame() const { return percentFrame_; }

    // Apply; false when a field was refused.
    bool apply();

private:
    struct Row {
        QLineEdit* width = nullptr;
        QLineEdit* height = nullptr;
        QLineEdit* percentX = nullptr;
        QLineEdit* percentY = nullptr;
    };
    void okPressed();

    MergeWorkspace& workspace_;
    Platform& platform_;
    int count_ = 0;
    std::array<Row, 8> rows_ {};
    QGroupBox* percentFrame_ = nullptr;
};

inline const char* const kSourceSizesCaption = "Source -  Image Sizes";

} // namespace tessary
