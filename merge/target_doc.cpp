#include "merge/target_doc.h"

namespace tessary {

void CDestdoc::compactPlaces(int closedIndex, int newCount)
{
    tessary::compactPlaces(mirrored, closedIndex, newCount, 0);
    tessary::compactPlaces(transformed, closedIndex, newCount, MaskedDib {});
}

void CDestdoc::discardTarget()
{
    targetImage.reset();
    generated = 0;
    viewWidth = 1;
    viewHeight = 1;
}

void CDestdoc::copyTargetSettings(const CDestdoc& other)
{
    thresholdFuzziness = other.thresholdFuzziness;
    backgroundColour = other.backgroundColour;
    marginX = other.marginX;
    marginY = other.marginY;
    marginColour = other.marginColour;
    targetContrast = other.targetContrast;
    targetBrightness = other.targetBrightness;
}

} // namespace tessary
