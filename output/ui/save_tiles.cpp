#include "output/ui/save_tiles.h"

#include <QFormLayout>
#include <QLabel>

namespace tessary {

save_tiles::save_tiles(Platform& platform, QWidget* parent)
    : IntegerFieldsDialog(platform, "Save Tiles", parent)
{
    setObjectName("save_tiles");
    form()->addRow(new QLabel("Enter values from 1 to 10", this));
    addField("tilesAcross", "Number of tiles, left to right", 1, 1, 10);
    addField("tilesDown", "Number of tiles, top to bottom", 1, 1, 10);
}

} // namespace tessary
