#pragma once
#include "merge/pixel_path.h"

#include <functional>
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;
class VIrorozIzi;

inline constexpr const char* kTargetWindowTitle = "Target Window";

// A new source document in the next free place: the document has its construction defaults,
// `slotIndex` = `sourceCount`, it enters the document table and `sourceCount` grows by one.
// Observers hear sourcesRenumbered (the Align Window drops what it cached for the old set of
// sources). Returns null, changing nothing, when all eight places are taken.
VIrorozIzi* constructSource(MergeWorkspace& workspace);

// Gives back the place of a source whose making failed before it had a window (a file that
// would not load, a cancelled text entry). Such a source is always the last one and nothing
// about the other sources changed while it existed, so only its own place is undone: the
// document leaves the table, `sourceCount` drops and the place keeps its construction values.
void discardUnmadeSource(MergeWorkspace& workspace, int number);

// A new source in the next free place, filled by `fill`: the document when `fill` made it,
// otherwise null with its place given back (as discardUnmadeSource). Null as well when all eight
// places are taken.
VIrorozIzi* constructFilledSource(MergeWorkspace& workspace, const std::function<bool(VIrorozIzi&)>& fill);

// Fills a new source from the image file at `path` and titles it after the file; false, with the
// reason shown, when the file does not load.
bool loadSourceFile(VIrorozIzi& doc, const std::string& path, Platform& platform);

// The document title of a source made from the image file at `path`: the file's name.
std::string sourceTitleForPath(const std::string& path);

// What happens when the window of a new source first opens: every loaded source's bias weight
// becomes 100 / `sourceCount`, the merge type Average, the source is transformed, and when that
// succeeds it becomes the Align view's selected source; with two or more sources the preview is
// rebuilt with the transformation's result and the target is marked stale. Returns the result of
// the transformation.
int showNewSource(
    MergeWorkspace& workspace, Platform& platform, int number, PixelPath path = PixelPath::RowsTwoThreads);

// The window-side steps of closing a source, called in their place in the sequence.
struct SourceClosingHooks {
    // Fewer than two sources remain: close the Rotate dialog, remove the Align Window's four
    // alignment buttons and the target window's Load Target button.
    std::function<void()> fewerThanTwoRemain;
    // The windows table compacts as the placements do: the window of every place from
    // `closedIndex` up to `newCount` - 1 is the one of the next place; the last place has none.
    std::function<void(int closedIndex, int newCount)> moveWindows;
    // The Align Window is laid out again (when `layOut`) and brought to the front.
    std::function<void(bool layOut)> alignToFront;
};

// Closes source `number` (1..sourceCount), in this order:
//  1. its `changed` flag is cleared and `sourceCount` drops by one;
//  2. the target image is discarded; with fewer than two sources left the target window
//     returns to its empty state titled "Target Window", otherwise it is titled "Target Window
//     - needs updating";
//  3. every later source moves down one place with its window, placement (position, scales,
//     rotation), mirror flag and transformed image; the freed last place takes the
//     construction values;
//  4. the positions are normalised;
//  5. every remaining source returns to the middle layer with the bias weight 100 /
//     `sourceCount`; the fade-edge flags stay with their place numbers;
//  6. the Align Window is laid out again (two or more sources left) and comes to the front;
//  7. the document table compacts (each later document's `slotIndex` drops by one), the preview
//     is rebuilt, and the closed source's image is released with its document.
// A number that names no loaded source changes nothing.
void closeSource(MergeWorkspace& workspace, Platform& platform, int number,
    const SourceClosingHooks& hooks = {}, PixelPath path = PixelPath::RowsTwoThreads);

} // namespace tessary
