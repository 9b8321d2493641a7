#pragma once
#include "app/progress.h"

namespace tessary {

class Platform;

inline constexpr const char* kQuitQuestionText = "Do you really want to quit ?";

// The one busy state of the program, held for the lifetime of this object: while any long
// operation lives, no user input but Esc reaches any window, and when the outermost one ends
// the status panes show again what they showed before it began. Operations nest: a
// transformation started inside another operation shares its busy state.
class LongOperation final : public Progress {
public:
    explicit LongOperation(Platform& platform);
    ~LongOperation() override;
    LongOperation(const LongOperation&) = delete;
    LongOperation& operator=(const LongOperation&) = delete;

    void showPaneText(int pane, const std::string& text) override;
    void showProgress(int percent, ColourRef colour) override;
    bool pollEscape() override;

private:
    Platform& platform_;
};

} // namespace tessary
