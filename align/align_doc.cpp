#include "align/align_doc.h"

namespace tessary {

void CAlignDoc::resetAllPlaces()
{
    placement.fill(Placement {});
    for (auto& o : outline)
        o.reset();
}

void CAlignDoc::compactPlacements(int closedIndex, int newCount)
{
    // Position, scales and rotation move down with their source; the layers are reset by the
    // caller, so the moved levels never count.
    compactPlaces(placement, closedIndex, newCount, Placement {});
}

} // namespace tessary
