#include "align/align_doc.h"

namespace tessary {

void CAlignDoc::resetAllPlaces()
{
    for (size_t i = 0; i < size_t(kMaxSources); ++i) {
        posX[i] = 0;
        posY[i] = 0;
        scaleX[i] = kUnitScale;
        scaleY[i] = kUnitScale;
        rotation[i] = 0.0;
        outline[i].reset();
        topLevel[i] = -1;
        bottomLevel[i] = -1;
    }
}

void CAlignDoc::compactPlacements(int closedIndex, int newCount)
{
    compactPlaces(posX, closedIndex, newCount, 0);
    compactPlaces(posY, closedIndex, newCount, 0);
    compactPlaces(scaleX, closedIndex, newCount, kUnitScale);
    compactPlaces(scaleY, closedIndex, newCount, kUnitScale);
    compactPlaces(rotation, closedIndex, newCount, 0.0);
}

} // namespace tessary
