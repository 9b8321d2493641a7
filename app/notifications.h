#pragma once

namespace tessary {

// What the core tells the windows. The core never calls widgets: it calls these, and each
// window repaints or refreshes what it shows. Every method has an empty default so a window
// overrides only what concerns it.
class WorkspaceObserver {
public:
    virtual ~WorkspaceObserver() = default;
    // The Align preview was rebuilt (placements or sources changed).
    virtual void previewRebuilt() { }
    // The target image was discarded or must be regenerated; its title may have changed.
    virtual void targetInvalidated() { }
    // A new target image was generated.
    virtual void targetGenerated() { }
    // The pixels, size or mask of source `number` (1..8) changed.
    virtual void sourceImageChanged(int /*number*/) { }
    // A source was added or closed, so the later sources have new numbers.
    virtual void sourcesRenumbered() { }
    // A step was recorded, undone or redone, or steps were dropped: the undo and redo
    // commands read their names again.
    virtual void historyChanged() { }
};

} // namespace tessary
