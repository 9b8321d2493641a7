#include "merge/batch_platform.h"

#include "app/long_operation.h"

namespace tessary {

void BatchPlatform::startRecording()
{
    recording_ = true;
    quitYes_ = false;
    recorded_.clear();
}

bool BatchPlatform::isEscapeDown()
{
    const auto now = std::chrono::steady_clock::now();
    if (lastPoll_ && now - *lastPoll_ < pollInterval_)
        return false;
    lastPoll_ = now;
    return real_.isEscapeDown();
}

MessageAnswer BatchPlatform::messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons)
{
    if (recording_ && buttons == MessageButtons::Ok) {
        if (!recorded_.empty())
            recorded_ += " - ";
        recorded_ += text;
        return MessageAnswer::Ok;
    }
    const MessageAnswer answer = real_.messageBox(text, icon, buttons);
    if (text == kQuitQuestionText && answer == MessageAnswer::Yes)
        quitYes_ = true;
    return answer;
}

} // namespace tessary
