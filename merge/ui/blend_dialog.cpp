#include "merge/ui/blend_dialog.h"

#include "app/workspace.h"
#include "merge/merge_layers.h"
#include "merge/ui/scroll_target_arrows.h"
#include "merge/ui/source_pie.h"
#include "sources/source_doc.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace tessary {

namespace {
QLabel* label(QWidget* parent, const QString& text, QRect place)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(place);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, QRect place)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(place);
    b->setAutoDefault(false);
    return b;
}

// The two edits that name the middle layer: yellow-green with black text.
QLineEdit* middleLayerEdit(QWidget* parent, const char* name, const QString& text, QRect place)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setGeometry(place);
    edit->setStyleSheet("QLineEdit { background: rgb(230, 255, 100); color: black; }");
    return edit;
}

constexpr const char* kMergeTypeNames[5]
    = { "Average", "Brightest", "Darkest", "Most colored", "Least colored" };
}

CBlend::CBlend(MergeWorkspace& workspace, Platform& platform, std::function<void(int, int)> scrollTarget,
    QWidget* parent)
    : QDialog(parent)
    , workspace_(workspace)
    , platform_(platform)
    , settings_(workspace, platform)
{
    setObjectName("CBlend");
    setWindowTitle("Target - Merge Sources");
    setFixedSize(830, 545);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(253, 247, 240));
    setPalette(background);

    buildMergeTypes();
    buildFadeEdges();
    buildLayers();

    label(this, "Adjust pie below to modify blending source bias.", QRect(630, 150, 190, 34));
    const QRect statsArea(630, 360, 190, 32);
    pie_ = new source_pie(workspace_, settings_, platform_, statsArea, this);
    pie_->setGeometry(640, 188, 150, 130);
    connect(pie_, &source_pie::pressed, this, &CBlend::settingsChanged);
    reset_ = button(this, "reset", "Reset", QRect(640, 326, 70, 26));
    connect(reset_, &QPushButton::clicked, this, [this] {
        settings_.resetPie();
        showMiddleSources();
        settingsChanged();
    });

    scrollArrows_ = new ScrollTargetArrows(std::move(scrollTarget), this);
    scrollArrows_->setGeometry(420, 400, 100, 90);

    ok_ = button(this, "ok", "Ok", QRect(630, 505, 80, 28));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CBlend::ok);
    update_ = button(this, "updateTarget", "Update Target", QRect(720, 505, 100, 28));
    connect(update_, &QPushButton::clicked, this, &CBlend::updateTarget);
    update_->setEnabled(settings_.updateEnabled());
}

void CBlend::buildMergeTypes()
{
    label(this, "Find the", QRect(420, 8, 140, 18));
    auto* group = new QButtonGroup(this);
    for (int type = 0; type < 5; ++type) {
        auto* radio = new QRadioButton(kMergeTypeNames[type], this);
        radio->setObjectName(QString("mergeType%1").arg(type));
        radio->setGeometry(420, 28 + 20 * type, 150, 20);
        group->addButton(radio, type);
        mergeTypes_[size_t(type)] = radio;
    }
    mergeTypes_[size_t(settings_.mergeType())]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this](int type) {
        settings_.setMergeType(type);
        settingsChanged();
    });
    label(this, "of these source(s)", QRect(420, 130, 150, 18));

    label(this, "Threshold fuzziness", QRect(590, 8, 140, 18));
    fuzziness_ = new QSpinBox(this);
    fuzziness_->setObjectName("thresholdFuzziness");
    fuzziness_->setRange(kThresholdFuzziness.min, kThresholdFuzziness.max);
    fuzziness_->setValue(settings_.fuzziness());
    // Changed only with the arrows.
    fuzziness_->setReadOnly(false);
    fuzziness_->setFocusPolicy(Qt::NoFocus);
    fuzziness_->findChild<QLineEdit*>()->setReadOnly(true);
    fuzziness_->setGeometry(590, 28, 70, 24);
    shownFuzziness_ = settings_.fuzziness();
    connect(fuzziness_, &QSpinBox::valueChanged, this, [this](int value) {
        settings_.stepFuzziness(value - shownFuzziness_);
        shownFuzziness_ = settings_.fuzziness();
        settingsChanged();
    });
}

void CBlend::buildFadeEdges()
{
    label(this, "Fade Edge", QRect(420, 160, 120, 18));
    for (int slot = 0; slot < kMaxSources; ++slot) {
        auto* box = new QCheckBox(QString::number(slot + 1), this);
        box->setObjectName(QString("fadeEdge%1").arg(slot + 1));
        box->setGeometry(420, 180 + 22 * slot, 36, 20);
        box->setChecked(settings_.fadeEdge(slot));
        connect(box, &QCheckBox::clicked, this, [this, slot](bool on) {
            settings_.setFadeEdge(slot, on);
            settingsChanged();
        });
        fadeEdges_[size_t(slot)] = box;
        auto* name = new QLineEdit(this);
        name->setObjectName(QString("sourceName%1").arg(slot + 1));
        name->setReadOnly(true);
        name->setFocusPolicy(Qt::NoFocus);
        name->setGeometry(458, 180 + 22 * slot, 160, 20);
        if (slot < workspace_.sourceCount)
            if (const VIrorozIzi* source = workspace_.source(slot + 1))
                name->setText(QString("%1:  %2").arg(slot + 1).arg(QString::fromStdString(source->title)));
        names_[size_t(slot)] = name;
    }
    showMiddleSources();
}

void CBlend::buildLayers()
{
    label(this,
        "Press the source buttons below to change the source layer position.\nTop and bottom layers are "
        "opaque.",
        QRect(10, 4, 400, 50));
    moveUp_ = new QRadioButton("Move Up", this);
    moveUp_->setObjectName("moveUp");
    moveUp_->setGeometry(10, 54, 90, 20);
    moveDown_ = new QRadioButton("Move Down", this);
    moveDown_->setObjectName("moveDown");
    moveDown_->setGeometry(110, 54, 100, 20);
    moveUp_->setChecked(true);
    connect(moveUp_, &QRadioButton::clicked, this, [this] { settings_.moveDirection = 0; });
    connect(moveDown_, &QRadioButton::clicked, this, [this] { settings_.moveDirection = 1; });

    label(this, "Top Layers\n\nClick source buttons here to move up or down\n\n------------------->>",
        QRect(10, 80, 300, 110));
    const QPoint anchor = kMiddleLayerAnchor;
    auto* middleLabel = label(this, "Middle Layer", QRect(anchor, QSize(80, 18)));
    middleLabel->setObjectName("middleLayer");
    middleLabel->hide();
    middleLayerEdit(this, "middleLayerArrow", "Middle Blending Layer ------->>",
        QRect(10, anchor.y() - 1, anchor.x() - 16, 22));
    middleLayerEdit(this, "middleLayerText", "Middle Blending Layer.   Blends two or more sources.",
        QRect(10, anchor.y() + 25, 370, 22));
    label(this, "Bottom layers\n\nClick source buttons here to move up or down.\n\n---------------------->>",
        QRect(10, 356, 300, 110));

    for (int slot = 0; slot < kMaxSources; ++slot) {
        QPushButton* b = button(this, "", QString::number(slot + 1), QRect(0, 0, 18, 18));
        b->setObjectName(QString("sourceButton%1").arg(slot + 1));
        b->setVisible(slot < workspace_.sourceCount);
        connect(b, &QPushButton::clicked, this, [this, slot] {
            settings_.pressSourceButton(slot);
            layOutLayers();
            showMiddleSources();
            settingsChanged();
        });
        sourceButtons_[size_t(slot)] = b;
    }
    layOutLayers();

    blendAll_ = button(this, "blendAll", "Blend all to middle layer", QRect(10, 505, 190, 28));
    connect(blendAll_, &QPushButton::clicked, this, [this] {
        settings_.blendAllToMiddle();
        layOutLayers();
        showMiddleSources();
        settingsChanged();
    });
}

void CBlend::layOutLayers()
{
    const QPoint a = kMiddleLayerAnchor;
    const auto places
        = layerButtonPlaces(workspace_.alignDoc, workspace_.sourceCount, ViewPoint { a.x(), a.y() });
    for (int slot = 0; slot < kMaxSources; ++slot)
        if (const auto& place = places[size_t(slot)])
            sourceButtons_[size_t(slot)]->move(place->x, place->y);
}

void CBlend::showMiddleSources()
{
    for (int slot = 0; slot < kMaxSources; ++slot) {
        const bool shown = slot < workspace_.sourceCount && isMiddleSource(workspace_.alignDoc, slot);
        fadeEdges_[size_t(slot)]->setVisible(shown);
        names_[size_t(slot)]->setVisible(shown);
    }
}

void CBlend::settingsChanged()
{
    update_->setEnabled(settings_.updateEnabled());
    update();
    pie_->update();
}

void CBlend::updateTarget()
{
    settings_.updateTarget();
    update_->setEnabled(settings_.updateEnabled());
}

void CBlend::ok()
{
    settings_.ok();
    accept();
}

void CBlend::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CBlend::reject()
{
    // Esc, or the dialog closed from outside: what changed stays, as a step.
    settings_.escape();
    QDialog::reject();
}

void CBlend::closeEvent(QCloseEvent* event)
{
    // The close box is Ok, not Esc.
    settings_.ok();
    event->accept();
    done(QDialog::Accepted);
}

} // namespace tessary
