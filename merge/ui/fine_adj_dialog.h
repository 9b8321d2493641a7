#pragma once
#include "merge/fine_adjust.h"

#include <QDialog>
#include <array>
#include <functional>

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tessary {

class MergeWorkspace;
class Platform;
class ScrollTargetArrows;

// "Target - Fine Adjustment" (the program's CFine_adj): one source's position, angle and scales
// stepped relative to the values the Align Window decided. Every step is written at once; "Update
// Target" transforms and generates; Ok updates first when anything changed; Esc closes keeping
// the steps. Each update, and the closing, is one "Fine Alignment" step of the history.
class CFine_adj : public QDialog {
    Q_OBJECT
public:
    enum Arrow { Horizontal, Vertical, Angle, ScaleX, ScaleY };

    CFine_adj(MergeWorkspace& workspace, Platform& platform, std::function<void(int, int)> scrollTarget,
        QWidget* parent = nullptr);

    QSpinBox* sourceSelector() const { return selector_; }
    QLineEdit* sourceTitle() const { return title_; }
    QSpinBox* arrow(Arrow which) const { return arrows_[size_t(which)]; }
    QPushButton* updateButton() const { return update_; }
    QPushButton* okButton() const { return ok_; }
    ScrollTargetArrows* scrollArrows() const { return scrollArrows_; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void stepped();
    void clearOffsets();
    void showTitle();

    MergeWorkspace& workspace_;
    Platform& platform_;
    FineAdjust adjust_;
    QSpinBox* selector_ = nullptr;
    QLineEdit* title_ = nullptr;
    std::array<QSpinBox*, 5> arrows_ {};
    QPushButton* update_ = nullptr;
    QPushButton* ok_ = nullptr;
    ScrollTargetArrows* scrollArrows_ = nullptr;
};

} // namespace tessary
