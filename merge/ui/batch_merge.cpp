#include "merge/ui/batch_merge.h"

#include "align/ui/rotate_dialog.h"
#include "app/settings.h"
#include "app/workspace.h"
#include "merge/batch_watermark.h"
#include "merge/target_commands.h"
#include "merge/ui/blend_dialog.h"
#include "merge/ui/folder_win.h"
#include "output/image_metadata.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

namespace {

constexpr const char* kBoxLabels[kBatchOptionCount]
    = { "Stretch to fit image", "Center horizontal", "Center vertical", "Position left", "Position right",
          "Position top", "Position bottom", "as set in Align Window" };

QLineEdit* readOnlyField(const char* name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setMinimumWidth(360);
    return field;
}

} // namespace

batch_merge::batch_merge(MergeWorkspace& workspace, Platform& platform,
    std::function<void(int, int)> scrollTarget, QWidget* parent)
    : QDialog(parent)
    , workspace_(workspace)
    , platform_(platform)
    , scrollTarget_(std::move(scrollTarget))
{
    setObjectName("batch_merge");
    setWindowTitle("Batch Merging");
    auto* layout = new QVBoxLayout(this);

    auto* fields = new QGridLayout;
    watermark_ = readOnlyField("watermark", this);
    changeWatermark_ = new QPushButton("Change", this);
    changeWatermark_->setObjectName("changeWatermark");
    currentFile_ = readOnlyField("currentFile", this);
    target_ = readOnlyField("targetDirectory", this);
    changeTarget_ = new QPushButton("Change", this);
    changeTarget_->setObjectName("changeTarget");
    fields->addWidget(new QLabel("Source 1:    WaterMarking File", this), 0, 0, 1, 2);
    fields->addWidget(watermark_, 1, 0);
    fields->addWidget(changeWatermark_, 1, 1);
    fields->addWidget(new QLabel("Current file to be watermarked from source 2 directory", this), 2, 0, 1, 2);
    fields->addWidget(currentFile_, 3, 0);
    fields->addWidget(new QLabel("Target directory for the watermarked files.", this), 4, 0, 1, 2);
    fields->addWidget(target_, 5, 0);
    fields->addWidget(changeTarget_, 5, 1);
    layout->addLayout(fields);

    auto* group = new QGroupBox("Scale and position watermark:", this);
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < kBatchOptionCount; ++i) {
        const auto option = BatchOption(i);
        auto* box = new QCheckBox(kBoxLabels[i], group);
        box->setObjectName(QString("option%1").arg(i));
        // The first and the last stand alone on their lines; the others pair up.
        const int row = i == 0 ? 0 : i == kBatchOptionCount - 1 ? 4 : (i + 1) / 2;
        const int column = i == 0 || i == kBatchOptionCount - 1 ? 0 : (i + 1) % 2;
        grid->addWidget(box, row, column);
        connect(
            box, &QCheckBox::clicked, this, [this, option](bool checked) { boxToggled(option, checked); });
        boxes_[size_t(i)] = box;
    }
    layout->addWidget(group);

    // Remembered from one run to the next.
    keepMetadata_ = new QCheckBox("Keep each picture's metadata", this);
    keepMetadata_->setObjectName("keepMetadata");
    keepMetadata_->setChecked(kKeepMetadataRange.clamp(platform_.getSettingInt(settings::kSection,
                                  settings::kBatchKeepMetadata, kKeepMetadataRange.start))
        == 1);
    connect(keepMetadata_, &QCheckBox::toggled, this, [this](bool checked) {
        platform_.setSettingInt(settings::kSection, settings::kBatchKeepMetadata, checked ? 1 : 0);
    });
    layout->addWidget(keepMetadata_);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const char* name, const char* label) {
        auto* b = new QPushButton(label, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    rotate_ = button("rotate", "Rotate");
    blend_ = button("blend", "Blend");
    run_ = button("batchMergeNow", "Batch Merge Now !");
    ok_ = button("ok", "OK");
    layout->addLayout(buttons);

    connect(changeWatermark_, &QPushButton::clicked, this, &batch_merge::changeWatermarkPressed);
    connect(changeTarget_, &QPushButton::clicked, this, &batch_merge::changeTargetDirectory);
    connect(rotate_, &QPushButton::clicked, this, &batch_merge::rotatePressed);
    connect(blend_, &QPushButton::clicked, this, &batch_merge::blendPressed);
    connect(run_, &QPushButton::clicked, this, &batch_merge::runBatch);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    watermark_->setText(QString::fromStdString(workspace_.source(1)->title));
    target_->setText(QString::fromStdString(workspace_.batchTargetDirectory));
}

void batch_merge::boxToggled(BatchOption option, bool checked)
{
    setBatchOption(options_, option, checked);
    for (int i = 0; i < kBatchOptionCount; ++i)
        boxes_[size_t(i)]->setChecked(options_[size_t(i)]);
}

void batch_merge::changeTargetDirectory()
{
    do {
        workspace_.directoryCreated = 0;
        folder_win browser(platform_, QString::fromStdString(workspace_.batchTargetDirectory), this);
        if (browser.exec() != QDialog::Accepted)
            return;
        const QString chosen
            = browser.createdFolder().isEmpty() ? browser.selectedFiles().value(0) : browser.createdFolder();
        if (chosen.isEmpty())
            return;
        workspace_.directoryCreated = browser.createdFolder().isEmpty() ? 0 : 1;
        workspace_.batchTargetDirectory = chosen.toStdString();
        target_->setText(chosen);
    } while (workspace_.directoryCreated == 1);
}

void batch_merge::changeWatermarkPressed()
{
    if (!changeWatermark(workspace_, platform_))
        return;
    watermark_->setText(QString::fromStdString(workspace_.source(1)->title));
    generateTargetCommand(workspace_, platform_);
}

void batch_merge::rotatePressed()
{
    // Asked here and now: the run that follows must see the angle the user gave.
    auto* dialog = new CRotate(workspace_, platform_, this);
    dialog->refresh();
    dialog->exec();
    generateTargetCommand(workspace_, platform_);
}

void batch_merge::blendPressed()
{
    CBlend dialog(workspace_, platform_, scrollTarget_, this);
    dialog.exec();
    batchMergeType_ = workspace_.mergeType;
    blendUsed_ = true;
    blend_->setEnabled(false);
}

void batch_merge::setControlsEnabled(bool enabled)
{
    for (QPushButton* b : { changeWatermark_, changeTarget_, rotate_, run_, ok_ })
        b->setEnabled(enabled);
    blend_->setEnabled(enabled && !blendUsed_);
    for (QCheckBox* box : boxes_)
        box->setEnabled(enabled);
    keepMetadata_->setEnabled(enabled);
}

void batch_merge::runBatch()
{
    if (!batchMergePossible(workspace_)) {
        platform_.messageBox(kBatchNeedsTwoSources, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    BatchSettings settings;
    settings.inputFolder = folderOf(workspace_.source(2)->filePath);
    settings.targetFolder = workspace_.batchTargetDirectory;
    settings.options = options_;
    settings.mergeType = batchMergeType_;
    settings.keepMetadata = keepMetadata_->isChecked();
    setControlsEnabled(false);
    workspace_.hideLoadButtons = 1;
    summary_ = runBatchMerge(workspace_, settings, platform_, this);
    workspace_.hideLoadButtons = 0;
    setControlsEnabled(true);
    if (summary_.started) {
        const bool clean = !summary_.aborted && summary_.failed.empty();
        platform_.messageBox(batchSummaryText(summary_, settings.targetFolder),
            clean ? MessageIcon::Information : MessageIcon::Warning, MessageButtons::Ok);
    }
}

void batch_merge::fileStarted(int, int, const BatchFile& file)
{
    currentFile_->setText(QString::fromStdString(lowerCased(file.name)));
    target_->setText(QString::fromStdString(workspace_.batchTargetDirectory));
    watermark_->setText(QString::fromStdString(workspace_.source(1)->title));
    // Shown before the file's work starts; the run's escape polls keep the window painted.
    repaint();
}

void batch_merge::fileFinished(int, int, const BatchFile&, bool) { }

void openBatchMerge(MergeWorkspace& workspace, Platform& platform, std::function<void(int, int)> scrollTarget,
    QWidget* parent)
{
    if (!batchMergePossible(workspace)) {
        platform.messageBox(kBatchNeedsTwoSources, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    workspace.batchTargetDirectory = defaultBatchTargetDirectory(workspace.source(2)->filePath);
    batch_merge dialog(workspace, platform, std::move(scrollTarget), parent);
    dialog.exec();
}

} // namespace tessary
