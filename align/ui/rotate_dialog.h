#pragma once
#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessary {

class MergeWorkspace;
class Platform;

// "Source - Rotate Image" (the program's CRotate): a modeless dialog that turns the selected
// source by a typed whole number of degrees, -179 to 180. Only one is open at a time; the main
// frame keeps it among its shared windows so that the Align view refreshes it when the
// selection changes or a drag ends, and closing a source that leaves fewer than two closes it.
//
// Apply checks the field (the range message on failure, nothing applied), then switches itself
// off until the field is edited again and applies the angle; Ok applies and closes. The dialog
// goes away when it closes.
class CRotate : public QDialog {
    Q_OBJECT
public:
    CRotate(MergeWorkspace& workspace, Platform& platform, QWidget* owner);

    // Shows the whole degrees of the selected source's rotation.
    void refresh();

    QLineEdit* degreesEdit() const { return degrees_; }
    QPushButton* applyButton() const { return apply_; }
    QPushButton* okButton() const { return ok_; }
    QLabel* sourceLine() const { return sourceLine_; }

protected:
    // The source line names the selected source afresh at every repaint.
    void paintEvent(QPaintEvent* event) override;

private:
    // True when the field held a valid angle and it was applied.
    bool apply();
    void okPressed();
    QString sourceLineText() const;

    MergeWorkspace& workspace_;
    Platform& platform_;
    QLineEdit* degrees_ = nullptr;
    QLabel* sourceLine_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// "Rotate...": opens the Rotate dialog owned by `owner` and records it in `slot`, unless one is
// open already (which is then brought to the front). Returns the dialog.
CRotate* openRotateDialog(
    QPointer<QWidget>& slot, MergeWorkspace& workspace, Platform& platform, QWidget* owner);

// Refreshes the Rotate dialog recorded in `slot`, if one is open.
void refreshRotateDialog(const QPointer<QWidget>& slot);

inline const char* const kRotateCaption = "Source - Rotate Image";
inline constexpr int kRotateMin = -179;
inline constexpr int kRotateMax = 180;

} // namespace tessary
