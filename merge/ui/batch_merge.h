#pragma once
#include "merge/batch_merge.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tessary {

class MergeWorkspace;
class Platform;

// "Batch Merging": source 1 is the watermark and each image of source 2's folder in turn is
// merged with it and written into the target folder. The dialog shows the watermark's title,
// the file being merged and the target folder; "Change" buttons choose another watermark
// (changeWatermark) and another target folder (folder_win); eight boxes choose where the
// watermark goes; "Rotate" rotates the Align Window's selected source and generates the target;
// "Blend" runs the Merge Sources dialog once and takes its merge type for the run; "Batch Merge
// Now !" runs the batch (every control disabled meanwhile) and ends with the summary message.
class batch_merge : public QDialog, public BatchListener {
    Q_OBJECT
public:
    batch_merge(MergeWorkspace& workspace, Platform& platform, std::function<void(int, int)> scrollTarget,
        QWidget* parent = nullptr);

    QLineEdit* watermarkField() const { return watermark_; }
    QLineEdit* currentFileField() const { return currentFile_; }
    QLineEdit* targetField() const { return target_; }
    QCheckBox* optionBox(BatchOption option) const { return boxes_[size_t(option)]; }
    QCheckBox* keepMetadataBox() const { return keepMetadata_; }
    QPushButton* changeWatermarkButton() const { return changeWatermark_; }
    QPushButton* changeTargetButton() const { return changeTarget_; }
    QPushButton* rotateButton() const { return rotate_; }
    QPushButton* blendButton() const { return blend_; }
    QPushButton* runButton() const { return run_; }
    QPushButton* okButton() const { return ok_; }
    const BatchOptions& options() const { return options_; }
    int32_t batchMergeType() const { return batchMergeType_; }
    const BatchSummary& lastSummary() const { return summary_; }

    // "Change" of the target folder: the browser, again after each folder it created.
    void changeTargetDirectory();
    // "Batch Merge Now !".
    void runBatch();

    void fileStarted(int index, int count, const BatchFile& file) override;
    void fileFinished(int index, int count, const BatchFile& file, bool written) override;

private:
    void boxToggled(BatchOption option, bool checked);
    void changeWatermarkPressed();
    void rotatePressed();
    void blendPressed();
    void setControlsEnabled(bool enabled);

    MergeWorkspace& workspace_;
    Platform& platform_;
    std::function<void(int, int)> scrollTarget_;
    QLineEdit* watermark_ = nullptr;
    QLineEdit* currentFile_ = nullptr;
    QLineEdit* target_ = nullptr;
    std::array<QCheckBox*, kBatchOptionCount> boxes_ {};
    QCheckBox* keepMetadata_ = nullptr;
    QPushButton* changeWatermark_ = nullptr;
    QPushButton* changeTarget_ = nullptr;
    QPushButton* rotate_ = nullptr;
    QPushButton* blend_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* ok_ = nullptr;
    BatchOptions options_ {};
    int32_t batchMergeType_ = 0;
    bool blendUsed_ = false;
    BatchSummary summary_;
};

// The Target menu's batch-merge command: refuses with a message unless there are two sources
// or more and source 2 is an image file; otherwise opens the dialog with the target folder set
// to source 2's folder + "/output".
void openBatchMerge(MergeWorkspace& workspace, Platform& platform, std::function<void(int, int)> scrollTarget,
    QWidget* parent);

} // namespace tessary
