#include "align/ui/rotate_dialog.h"

#include "align/placement_commands.h"
#include "align/ui/integer_edit.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "merge/transform_source.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace tessary {

CRotate::CRotate(MergeWorkspace& workspace, Platform& platform, QWidget* owner)
    : QDialog(owner)
    , workspace_(workspace)
    , platform_(platform)
{
    setObjectName("CRotate");
    setWindowTitle(kRotateCaption);
    setModal(false);
    // A small dialog box: a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* heading = new QLabel("Rotate SELECTED Source", this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* seen = new QLabel("(As seen in the align window or target window.)", this);
    auto* how
        = new QLabel("You can select the source by clicking on the numeric pad or right-click the mouse to "
                     "move to the next source, without closing this box.",
            this);
    how->setWordWrap(true);

    degrees_ = new QLineEdit(this);
    degrees_->setObjectName("degrees");
    auto* field = new QFormLayout;
    field->addRow("Enter # degrees", degrees_);

    sourceLine_ = new QLabel(this);
    sourceLine_->setObjectName("sourceLine");

    apply_ = new QPushButton("Apply", this);
    apply_->setObjectName("apply");
    apply_->setAutoDefault(false);
    ok_ = new QPushButton("Ok", this);
    ok_->setObjectName("ok");
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply_);
    buttons->addWidget(ok_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(seen);
    layout->addWidget(how);
    layout->addLayout(field);
    layout->addWidget(sourceLine_);
    layout->addLayout(buttons);
    setFixedWidth(360);

    connect(degrees_, &QLineEdit::textChanged, this, [this] { apply_->setEnabled(true); });
    connect(apply_, &QPushButton::clicked, this, &CRotate::apply);
    connect(ok_, &QPushButton::clicked, this, &CRotate::okPressed);
    refresh();
}

QString CRotate::sourceLineText() const
{
    const int32_t n = selectedLoadedSource(workspace_);
    const std::string title = n ? workspace_.documents[size_t(n - 1)]->title : std::string();
    return "Source :  " + QString::fromStdString(title);
}

void CRotate::refresh()
{
    const int32_t n = std::clamp(workspace_.alignView.selectedSource, 1, kMaxSources);
    const double rotation = workspace_.alignDoc.placement[size_t(n - 1)].rotation;
    degrees_->setText(QString::number(int64_t(std::trunc(rotation))));
    sourceLine_->setText(sourceLineText());
}

void CRotate::paintEvent(QPaintEvent* event)
{
    const QString line = sourceLineText();
    if (sourceLine_->text() != line)
        sourceLine_->setText(line);
    QDialog::paintEvent(event);
}

bool CRotate::apply()
{
    const std::optional<int32_t> degrees = checkIntegerEdit(degrees_, kRotateMin, kRotateMax, platform_);
    if (!degrees)
        return false;
    apply_->setEnabled(false);
    // A stopped or failed transformation keeps the angle from before: the field shows it again.
    if (rotateSelectedSource(workspace_, platform_, *degrees) != kTransformDone)
        refresh();
    return true;
}

void CRotate::okPressed()
{
    if (apply())
        accept();
}

CRotate* openRotateDialog(
    QPointer<QWidget>& slot, MergeWorkspace& workspace, Platform& platform, QWidget* owner)
{
    if (auto* open = qobject_cast<CRotate*>(slot.data())) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* dialog = new CRotate(workspace, platform, owner);
    slot = dialog;
    dialog->show();
    return dialog;
}

void refreshRotateDialog(const QPointer<QWidget>& slot)
{
    if (auto* open = qobject_cast<CRotate*>(slot.data()))
        open->refresh();
}

} // namespace tessary
