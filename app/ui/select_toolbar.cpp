#include "app/ui/select_toolbar.h"

#include "app/places.h"
#include "app/ui/command.h"
#include "app/ui/toolbar_pictures.h"
#include "app/workspace.h"

#include <QActionGroup>

namespace tessary {

select_toolbar::select_toolbar(MergeWorkspace& workspace, QWidget* parent)
    : QToolBar("Source", parent)
    , workspace_(workspace)
{
    setObjectName("select_toolbar");
    setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (int n = 1; n <= kMaxSources; ++n) {
        const QByteArray name = "selectSource" + QByteArray::number(n);
        QAction* action = makeCommand(this, name.constData(), QString("Source %1").arg(n),
            QString("This selects source %1 to be sized, moved or rotated.").arg(n), "Source ");
        action->setIcon(sourceButtonIcon(n));
        action->setProperty("toolbarImageIndex", n - 1);
        action->setCheckable(true);
        group->addAction(action);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, n] { selectSource(n); });
        buttons_[size_t(n - 1)] = action;
    }
    refresh();
}

void select_toolbar::refresh()
{
    for (int n = 1; n <= kMaxSources; ++n) {
        const int needed = n < 2 ? 2 : n;
        buttons_[size_t(n - 1)]->setEnabled(workspace_.sourceCount >= needed);
    }
    const int selected = workspace_.alignView.selectedSource;
    if (selected >= 1 && selected <= kMaxSources && !buttons_[size_t(selected - 1)]->isChecked())
        buttons_[size_t(selected - 1)]->setChecked(true);
}

void select_toolbar::selectSource(int number)
{
    if (number < 1 || number > kMaxSources)
        return;
    workspace_.alignView.selectedSource = number;
    buttons_[size_t(number - 1)]->setChecked(true);
    emit sourceSelected(number);
}

} // namespace tessary
