#pragma once
#include "merge/merge_settings.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tessary {

class MergeWorkspace;
class Platform;
class ScrollTargetArrows;
class source_pie;

// "Target - Merge Sources" (the program's CBlend): merge type, threshold fuzziness, fade edges,
// the layer order of the sources and the bias pie. Ok and the close box update the target when
// anything changed; Esc closes without updating. What it changed is one "Merge Sources" step.
class CBlend : public QDialog {
    Q_OBJECT
public:
    // Where the middle layer's first button stands; the layer buttons are laid out from here.
    static constexpr QPoint kMiddleLayerAnchor { 230, 290 };

    CBlend(MergeWorkspace& workspace, Platform& platform, std::function<void(int, int)> scrollTarget,
        QWidget* parent = nullptr);

    const MergeSettings& settings() const { return settings_; }
    QRadioButton* mergeTypeButton(int type) const { return mergeTypes_[size_t(type)]; }
    QSpinBox* fuzziness() const { return fuzziness_; }
    QCheckBox* fadeEdgeBox(int slot) const { return fadeEdges_[size_t(slot)]; }
    QLineEdit* nameEdit(int slot) const { return names_[size_t(slot)]; }
    QPushButton* sourceButton(int slot) const { return sourceButtons_[size_t(slot)]; }
    QRadioButton* moveUpButton() const { return moveUp_; }
    QRadioButton* moveDownButton() const { return moveDown_; }
    QPushButton* blendAllButton() const { return blendAll_; }
    QPushButton* resetButton() const { return reset_; }
    QPushButton* updateButton() const { return update_; }
    QPushButton* okButton() const { return ok_; }
    source_pie* pie() const { return pie_; }
    ScrollTargetArrows* scrollArrows() const { return scrollArrows_; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMergeTypes();
    void buildFadeEdges();
    void buildLayers();
    void layOutLayers();
    void showMiddleSources();
    void settingsChanged();
    void updateTarget();
    void ok();

    MergeWorkspace& workspace_;
    Platform& platform_;
    MergeSettings settings_;
    std::array<QRadioButton*, 5> mergeTypes_ {};
    QSpinBox* fuzziness_ = nullptr;
    int shownFuzziness_ = 0;
    std::array<QCheckBox*, 8> fadeEdges_ {};
    std::array<QLineEdit*, 8> names_ {};
    std::array<QPushButton*, 8> sourceButtons_ {};
    QRadioButton* moveUp_ = nullptr;
    QRadioButton* moveDown_ = nullptr;
    QPushButton* blendAll_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* update_ = nullptr;
    QPushButton* ok_ = nullptr;
    source_pie* pie_ = nullptr;
    ScrollTargetArrows* scrollArrows_ = nullptr;
};

} // namespace tessary
