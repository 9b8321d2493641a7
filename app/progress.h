#pragma once
#include "image/colour.h"

#include <string>

namespace tessary {

// What a long computation may do to the world while it runs: paint its phase and progress into
// the status bar and ask whether the user wants to abandon it. Algorithms take this in place of
// the whole platform, so they can neither show windows nor dispatch input of their own.
class Progress {
public:
    virtual ~Progress() = default;

    // Paint a text into status pane 0 or 2; it lasts until the operation ends.
    virtual void showPaneText(int pane, const std::string& text) = 0;
    // The progress bar of pane 3: `percent` 0..100 in `colour`.
    virtual void showProgress(int percent, ColourRef colour) = 0;
    // Called between steps: lets pending paints happen, then, while Esc is held, asks
    // "Do you really want to quit ?". True means abandon the computation.
    virtual bool pollEscape() = 0;
};

} // namespace tessary
