#include "cli/terminal_platform.h"

#include "merge/progress_colours.h"

#include <unistd.h>

namespace tessary::cli {

namespace {
constexpr int kBarWidth = 40;
}

TerminalPlatform::TerminalPlatform(bool quiet, std::FILE* out)
    : out_(out)
    , showBars_(!quiet && isatty(fileno(out)) == 1)
{
}

TerminalPlatform::~TerminalPlatform()
{
    endBar();
}

MessageAnswer TerminalPlatform::messageBox(const std::string& text, MessageIcon, MessageButtons buttons)
{
    endBar();
    std::fprintf(out_, "tessary-cli: %s\n", text.c_str());
    std::fflush(out_);
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

void TerminalPlatform::showStatusMessage(const std::string& text)
{
    endBar();
    std::fprintf(out_, "tessary-cli: %s\n", text.c_str());
    std::fflush(out_);
}

void TerminalPlatform::setStatusPaneText(int pane, const std::string& text)
{
    // Pane 2 names the phase; pane 0 only says how to quit, which the tool does not offer.
    if (pane != 2 || text.empty() || text == phase_)
        return;
    endBar();
    phase_ = text;
}

void TerminalPlatform::setProgress(int percent, ColourRef colour)
{
    if (!showBars_)
        return;
    if (colour == kProgressDone) {
        if (shownPercent_ >= 0) {
            shownPercent_ = 100;
            std::fprintf(out_, "\r%-20s [%s] 100%%\n", phase_.c_str(), std::string(kBarWidth, '#').c_str());
            std::fflush(out_);
        }
        shownPercent_ = -1;
        return;
    }
    if (percent == shownPercent_)
        return;
    shownPercent_ = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    const int filled = shownPercent_ * kBarWidth / 100;
    std::fprintf(out_, "\r%-20s [%s%s] %3d%%", phase_.c_str(), std::string(size_t(filled), '#').c_str(),
        std::string(size_t(kBarWidth - filled), '.').c_str(), shownPercent_);
    std::fflush(out_);
}

void TerminalPlatform::announce(const std::string& text)
{
    endBar();
    phase_.clear();
    if (!showBars_)
        return;
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

void TerminalPlatform::endBar()
{
    if (shownPercent_ >= 0) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
    shownPercent_ = -1;
}

} // namespace tessary::cli
