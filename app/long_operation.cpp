#include "app/long_operation.h"

#include "app/platform.h"

namespace tessary {

LongOperation::LongOperation(Platform& platform)
    : platform_(platform)
{
    platform_.enterBusy();
}

LongOperation::~LongOperation()
{
    platform_.leaveBusy();
}

void LongOperation::showPaneText(int pane, const std::string& text)
{
    platform_.setStatusPaneText(pane, text);
}

void LongOperation::showProgress(int percent, ColourRef colour)
{
    platform_.setProgress(percent, colour);
}

bool LongOperation::pollEscape()
{
    if (!platform_.isEscapeDown())
        return false;
    return platform_.messageBox(kQuitQuestionText, MessageIcon::Question, MessageButtons::YesNo)
        == MessageAnswer::Yes;
}

} // namespace tessary
