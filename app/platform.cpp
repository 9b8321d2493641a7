#include "app/platform.h"

namespace tessary {

bool pollEscape(Platform& platform)
{
    platform.processEvents();
    if (!platform.isEscapeDown())
        return false;
    return platform.messageBox("Do you really want to quit ?", MessageIcon::Question, MessageButtons::YesNo)
        == MessageAnswer::Yes;
}

} // namespace tessary
