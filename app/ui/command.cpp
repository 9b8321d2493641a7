#include "app/ui/command.h"

#include <QAbstractButton>

namespace tessary {

QAction* makeCommand(
    QObject* owner, const char* name, const QString& label, const QString& prompt, const QString& tip)
{
    auto* action = new QAction(label, owner);
    action->setObjectName(name);
    action->setStatusTip(prompt);
    // Specific help (Shift+F1) on a menu entry or a button shows its prompt.
    action->setWhatsThis(prompt);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    // Shortcuts come from the frame's and the windows' accelerators, never from the menu text.
    action->setShortcutVisibleInContextMenu(false);
    return action;
}

QAction* makePendingCommand(
    QObject* owner, const char* name, const QString& label, const QString& prompt, const QString& tip)
{
    QAction* action = makeCommand(owner, name, label, prompt, tip);
    action->setEnabled(false);
    return action;
}

void issueThroughAction(QAbstractButton* button, QAction* action)
{
    button->setEnabled(action->isEnabled());
    QObject::connect(
        action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    QObject::connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
}

} // namespace tessary
