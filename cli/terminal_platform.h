#pragma once
#include "app/silent_platform.h"

#include <cstdio>
#include <string>

namespace tessary::cli {

// The platform port of the command-line tool: messages go to stderr prefixed with
// "tessary-cli: ", questions are answered No (so nothing is ever abandoned), no key is ever
// down, and while stderr is a terminal (and not `quiet`) each phase shows one progress bar line.
class TerminalPlatform : public SilentPlatform {
public:
    explicit TerminalPlatform(bool quiet, std::FILE* out = stderr);
    ~TerminalPlatform() override;

    MessageAnswer messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    void setStatusPaneText(int pane, const std::string& text) override;
    // A passing note (a colour profile that was ignored) goes to stderr like a message.
    void showStatusMessage(const std::string& text) override;
    void setProgress(int percent, ColourRef colour) override;

    // A phase of the tool's own (loading, saving) shown as a line while the bars are shown.
    void announce(const std::string& text);

private:
    void endBar();
    std::FILE* out_;
    bool showBars_;
    std::string phase_;
    int shownPercent_ = -1;
};

} // namespace tessary::cli
