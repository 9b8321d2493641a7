#pragma once
#include <QAction>
#include <QString>

class QAbstractButton;

namespace tessary {

// A menu or toolbar command: `name` is its object name (how the code that implements it finds
// it), `label` the menu text (a "\t" part is shown as the accelerator), `prompt` the text of
// status pane 0 while the pointer is on it (and its specific help), `tip` the tooltip of its
// toolbar button.
QAction* makeCommand(QObject* owner, const char* name, const QString& label, const QString& prompt = {},
    const QString& tip = {});

// A command whose work arrives with a later part of the program: present in its place, and
// disabled so that it does not pretend to work.
QAction* makePendingCommand(QObject* owner, const char* name, const QString& label,
    const QString& prompt = {}, const QString& tip = {});

// A button that issues `action`: it clicks through to the action and is enabled exactly when
// the action is, so a command that is not there yet never shows a button that does nothing.
void issueThroughAction(QAbstractButton* button, QAction* action);

} // namespace tessary
