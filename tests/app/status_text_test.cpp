#include "app/status_text.h"
#include "app/workspace.h"
#include "image/packed_dib.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

struct StatusCase {
    const char* name;
    StatusTextInputs in;
    std::optional<std::string> expected;
};

StatusTextInputs twoSourcesInTheTarget()
{
    StatusTextInputs in;
    in.sourceCount = 2;
    in.generated = 1;
    return in;
}

StatusTextInputs withZone(int32_t ax, int32_t ay, int32_t cx, int32_t cy, int32_t percentX, int32_t percentY)
{
    StatusTextInputs in = twoSourcesInTheTarget();
    in.zoneSelected = 1;
    in.zoneAnchor = { ax, ay };
    in.zoneCorner = { cx, cy };
    in.viewPercentX = percentX;
    in.viewPercentY = percentY;
    in.hasTargetImage = true;
    in.targetWidth = 640;
    in.targetHeight = 480;
    return in;
}

std::vector<StatusCase> cases()
{
    std::vector<StatusCase> list;
    StatusTextInputs in;
    list.push_back({ "no source", in, "Awaiting load of at least two sources." });
    in.sourceCount = 1;
    in.activeSourceNumber = 1;
    list.push_back({ "one source, even while its window is active", in, "Awaiting load of 2nd source." });
    in.sourceCount = 3;
    in.activeSourceNumber = 3;
    in.alignViewActive = 1;
    list.push_back({ "a source window wins over the Align flag", in, "This is source 3" });
    in.activeSourceNumber = -1;
    in.layoutWidth = 1234;
    in.layoutHeight = 567;
    list.push_back({ "Align view", in, "Predicted target size = 1234 X 567" });

    StatusTextInputs target = twoSourcesInTheTarget();
    target.generated = 0;
    target.hasTargetImage = true;
    list.push_back({ "stale target", target, "Target needs updating" });
    target.generated = 1;
    target.targetWidth = 800;
    target.targetHeight = 600;
    list.push_back({ "generated target", target, "Actual target size = 800 X 600" });
    list.push_back({ "generated, no image: text stays", twoSourcesInTheTarget(), std::nullopt });

    // 100 x 50 view pixels at 50 % are 200 x 100 target pixels.
    list.push_back({ "zone at 50 %", withZone(10, 10, 110, 60, 50, 50), "Print/Save from zone" });
    list.push_back({ "zone dragged up and left", withZone(110, 60, 10, 10, 50, 50), "Print/Save from zone" });
    // 63 x 63 view pixels at 100 % are below the 64-pixel minimum in both directions.
    list.push_back({ "zone 63 wide", withZone(0, 0, 63, 200, 100, 100), "Zone too small !" });
    list.push_back({ "zone 63 high", withZone(0, 0, 200, 63, 100, 100), "Zone too small !" });
    list.push_back({ "zone 64 x 64", withZone(0, 0, 64, 64, 100, 100), "Print/Save from zone" });
    // 40 view pixels at 50 % are 80 target pixels; at 200 % 100 are only 50.
    list.push_back({ "zone enlarged by the view", withZone(0, 0, 40, 40, 50, 50), "Print/Save from zone" });
    list.push_back({ "zone reduced by the view", withZone(0, 0, 100, 100, 200, 200), "Zone too small !" });
    list.push_back({ "zone corners coincide: text stays", withZone(30, 40, 30, 40, 100, 100), std::nullopt });
    // A line-shaped zone has coinciding corners in one coordinate only: it is a zone, too small.
    list.push_back({ "zone of zero height", withZone(30, 40, 300, 40, 100, 100), "Zone too small !" });
    list.push_back(
        { "zero viewing size counts as 100 %", withZone(0, 0, 64, 64, 0, 0), "Print/Save from zone" });
    return list;
}

TEST(WorkspaceStatusText, EachStateOfTheWorkspace)
{
    for (const StatusCase& c : cases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(workspaceStatusText(c.in), c.expected);
    }
}

TEST(WorkspaceStatusText, InputsComeFromTheWorkspaceModel)
{
    MergeWorkspace ws;
    ws.sourceCount = 2;
    ws.activeSourceNumber = -1;
    ws.alignViewActive = 0;
    ws.alignDoc.layoutWidth = 300;
    ws.targetDoc.generated = 1;
    ws.targetDoc.zoneSelected = 1;
    ws.targetDoc.viewPercentX = 50;
    ws.targetDoc.viewPercentY = 50;
    ws.targetView.zoneAnchor = { 10, 10 };
    ws.targetView.zoneCorner = { 110, 60 };
    EXPECT_EQ(workspaceStatusText(statusTextInputs(ws)), "Print/Save from zone");

    ws.targetDoc.zoneSelected = 0;
    ws.targetDoc.targetImage = PackedDib::allocate(40 + 12 * 5);
    ASSERT_NE(ws.targetDoc.targetImage, nullptr);
    BitmapInfoHeader header;
    header.biWidth = 4;
    header.biHeight = 5;
    header.biBitCount = 24;
    ws.targetDoc.targetImage->setHeader(header);
    EXPECT_EQ(workspaceStatusText(statusTextInputs(ws)), "Actual target size = 4 X 5");
}

} // namespace
} // namespace tessary
