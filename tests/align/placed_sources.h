#pragma once
// A workspace with a few sources made from small images, transformed and placed, and the Align
// preview built from them, as the Align commands find it.
#include "align/rebuild_preview.h"
#include "app/workspace.h"
#include "merge/merge_fixtures.h"
#include "merge/transform_source.h"
#include "support/gtest_platform.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tessary::testing {

struct PlacedSources {
    MergeWorkspace ws;
    GTestPlatform platform;

    PlacedSources()
    {
        ws.alignDoc.alignViewWidth = 800;
        ws.alignDoc.alignViewHeight = 600;
    }

    // Adds source n = sourceCount + 1 made of `image`, placed at (x, y) and transformed.
    int add(MaskedDib image, int32_t x = 0, int32_t y = 0)
    {
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = ws.sourceCount;
        doc->imageWidth = image.width();
        doc->imageHeight = image.height();
        doc->image = std::move(image);
        doc->title = "s" + std::to_string(ws.sourceCount + 1) + ".bmp";
        ws.documents[size_t(ws.sourceCount)] = std::move(doc);
        const int n = ++ws.sourceCount;
        ws.alignDoc.placement[size_t(n - 1)].posX = x;
        ws.alignDoc.placement[size_t(n - 1)].posY = y;
        EXPECT_EQ(transformSource(ws, platform, n), kTransformDone);
        return n;
    }
    int add(int32_t w, int32_t h, int32_t x = 0, int32_t y = 0)
    {
        return add(solidImage24(w, h, BgrColour { 10, 20, 30 }), x, y);
    }

    // Selects `number`, rebuilds the preview and leaves a current target behind, so that each
    // command has to mark it stale itself.
    void ready(int number)
    {
        ws.alignView.selectedSource = number;
        rebuildPreview(ws, platform, 0);
        ws.targetDoc.title = "Target Window";
        ws.targetDoc.generated = 1;
    }

    const MaskedDib& transformed(int number) const { return ws.targetDoc.transformed[size_t(number - 1)]; }

    // How many source transformations ran: each names its source in status pane 2.
    int transformations() const
    {
        return int(
            std::count_if(platform.paneHistory.begin(), platform.paneHistory.end(), [](const auto& entry) {
                return entry.first == 2 && entry.second.rfind("process src: ", 0) == 0;
            }));
    }
    bool targetStale() const
    {
        return ws.targetDoc.title == "Target Window - needs updating" && ws.targetDoc.generated == 0;
    }
};

} // namespace tessary::testing
