#pragma once
#include "align/collage.h"
#include "app/edit_path.h"

#include <QDialog>
#include <QPointer>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;

namespace tessary {

class MainFrame;
class MergeWorkspace;
class Platform;
class swap_sources;

inline const char* const kCollageCaption = "Collage Images";

// "Collage Images": a modeless dialog that lays every loaded source out in a grid of equal
// cells. Apply changes the placements at once, provisionally; Cancel (or Esc, or the title
// bar's close button) puts back every position and scale as it was when the dialog was made and
// records nothing. Closing it keeping its changes (OK, or the Target Window taking over)
// records them as one step, "Collage".
class align_collage : public QDialog {
    Q_OBJECT
public:
    align_collage(MergeWorkspace& workspace, Platform& platform, MainFrame& frame, QWidget* owner);

    QLineEdit* columnsEdit() const { return columns_; }
    QLineEdit* gapXEdit() const { return gapX_; }
    QLineEdit* gapYEdit() const { return gapY_; }
    QLineEdit* cellWidthEdit() const { return cellWidth_; }
    QLineEdit* cellHeightEdit() const { return cellHeight_; }
    QLineEdit* swapBox() const { return swapBox_; }
    swap_sources* swapControl() const { return swap_; }
    QLabel* mapBox(int cell) const { return mapBoxes_[size_t(cell)]; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* applyButton() const { return apply_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* resetSwapsButton() const { return resetSwaps_; }
    const CollageOrder& order() const { return order_; }

    // Closes the dialog leaving the placements as they are (one step when they changed).
    void dismiss();
    // Cancel: every placement back as it was, then the dialog closes.
    void reject() override;

protected:
    // Closed by the window system (the title bar) it cancels; closed by the program it only goes.
    void closeEvent(QCloseEvent* event) override;

private:
    // True when the fields were valid and the collage was applied.
    bool apply();
    void okPressed();
    void resetSwaps();
    void swap(int first, int second);
    void columnsEdited();
    void showMap(const CollageSettings& settings);

    MergeWorkspace& workspace_;
    Platform& platform_;
    SavedPlacements saved_;
    ValuesEdit edit_;
    CollageOrder order_ = identityCollageOrder();
    bool dismissing_ = false;
    // Cancelled, taken back by a failed Apply, or already recorded: nothing (more) to record.
    bool cancelled_ = false;

    QLineEdit* columns_ = nullptr;
    QLineEdit* gapX_ = nullptr;
    QLineEdit* gapY_ = nullptr;
    QLineEdit* cellWidth_ = nullptr;
    QLineEdit* cellHeight_ = nullptr;
    QLineEdit* swapBox_ = nullptr;
    swap_sources* swap_ = nullptr;
    QFrame* map_ = nullptr;
    std::array<QLabel*, kMaxSources> mapBoxes_ {};
    QPushButton* ok_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* resetSwaps_ = nullptr;
};

// "Collage...": opens the dialog and records it in `slot`; does nothing while one is open.
align_collage* openCollageDialog(
    QPointer<QWidget>& slot, MergeWorkspace& workspace, Platform& platform, MainFrame& frame, QWidget* owner);

} // namespace tessary
