#pragma once
#include "align/align_doc.h"
#include "app/history.h"
#include "app/notifications.h"
#include "app/places.h"
#include "image/masked_dib.h"
#include "merge/target_doc.h"
#include "output/print_settings.h"
#include "sources/source_doc.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessary {

class Platform;

enum MergeType : int32_t {
    kMergeAverage = 0,
    kMergeBrightest = 1,
    kMergeDarkest = 2,
    kMergeMostColored = 3,
    kMergeLeastColored = 4,
};

// The bias weights of the middle-layer sources add up to this, in percent of the pie.
inline constexpr double kBiasWeightTotal = 100.0;

// Values of the Align view that the model needs (the view itself is a window).
struct AlignViewState {
    int32_t selectedSource = 1;
    int32_t nudgeX = 1;
    int32_t nudgeY = 1;
    int32_t snapMove = 1;
};

// Values of the target view that the model needs.
struct TargetViewState {
    int32_t snapGrid = 1;
    ViewPoint zoneAnchor {};
    ViewPoint zoneCorner {};
};

// Values the application object holds.
struct ApplicationState {
    int32_t pendingSourceKind = 0;
    int32_t flyingTipsEnabled = 1;
};

// The program-wide state every window works on: the loaded sources, the Align and target
// documents, and the per-place and program-wide merge values. One object for the whole run,
// passed to every window; no globals.
class MergeWorkspace {
public:
    MergeWorkspace();

    // Startup values that come from the settings: nudge factors, snap step, flying tips, the
    // undo memory and the use of transparency stored in image files.
    void readStartupSettings(Platform& platform);
    // Writes "flying tips" at program end (stored inverted: 0 means on).
    void writeExitSettings(Platform& platform) const;

    // ---- sources
    PerPlace<std::unique_ptr<VIrorozIzi>> documents {};
    int32_t sourceCount = 0;
    VIrorozIzi* source(int number) { return documents[size_t(number - 1)].get(); }

    // ---- documents
    CAlignDoc alignDoc;
    CDestdoc targetDoc;
    AlignViewState alignView;
    TargetViewState targetView;
    ApplicationState app;

    // ---- per-place merge values
    PerPlace<double> biasWeight {}; // percent, 0 .. kBiasWeightTotal
    PerPlace<int32_t> fadeEdge {};

    // ---- program-wide values
    int32_t mergeType = kMergeAverage;
    uint8_t blendSettingsChanged = 0;
    int32_t middleSourceCount = 0;
    int32_t activeSourceNumber = -1;
    int32_t alignViewActive = 0;
    int32_t tipCounter = 0;
    int32_t hideLoadButtons = 0;
    MaskedDib handoffImage;
    std::string batchTargetDirectory;
    int32_t directoryCreated = 0;
    PrintSettings printSettings;
    // How picture files opened from now on are read (the transparency switch is a setting).
    LoadOptions loadOptions;

    // ---- the steps a user can undo and redo (app/edit_path.h records them)
    History history;

    // ---- notifications
    void addObserver(WorkspaceObserver* observer);
    void removeObserver(WorkspaceObserver* observer);
    template <typename F> void notify(F&& call)
    {
        for (WorkspaceObserver* o : std::vector<WorkspaceObserver*>(observers_))
            call(*o);
    }

    // Every loaded source gets the bias weight 100 / sourceCount.
    void equalBiasWeights();

private:
    std::vector<WorkspaceObserver*> observers_;
};

} // namespace tessary
