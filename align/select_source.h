#pragma once
#include <cstdint>

namespace tessary {

class MergeWorkspace;

// Selects source `number` for moving, sizing and rotating. Numbers outside 1..8, and numbers
// above the source count other than 1, are ignored (a digit key above the count names an empty
// place): the result is false and nothing changes. Source 1 can always be selected, since the
// selection returns to it whenever a source closes. The caller then copies the source's outline
// into the view's working outline, repaints and refreshes the Rotate dialog.
bool selectSource(MergeWorkspace& workspace, int32_t number);

// The source a right click selects: the next one, wrapping to 1 after the last.
int32_t nextSourceAfter(int32_t selected, int32_t sourceCount);

// Whether the source toolbar's button for source `number` is enabled: buttons 1 and 2 need at
// least two sources, button n >= 3 at least n.
bool sourceButtonEnabled(int32_t number, int32_t sourceCount);

} // namespace tessary
