#include "merge/merge_operators.h"

namespace tessary {

void CPixel::mergePixel(const MergeSample&, BgrColour& colour) const
{
    colour = BgrColour {};
}

void CMergeAverage::mergePixel(const MergeSample& sample, BgrColour& colour) const
{
    merge_kernel::average(sample, context_, colour);
}

void CMergeGreatest::mergePixel(const MergeSample& sample, BgrColour& colour) const
{
    merge_kernel::greatest(sample, context_, colour);
}

void CMergeLeast::mergePixel(const MergeSample& sample, BgrColour& colour) const
{
    merge_kernel::least(sample, context_, colour);
}

void CMergeSaturated::mergePixel(const MergeSample& sample, BgrColour& colour) const
{
    merge_kernel::saturated(sample, context_, colour);
}

void CMergeGrey::mergePixel(const MergeSample& sample, BgrColour& colour) const
{
    merge_kernel::grey(sample, context_, colour);
}

std::unique_ptr<CPixel> makeMergeOperator(int32_t mergeType, const MergeContext& context)
{
    switch (mergeType) {
    case 1:
        return std::make_unique<CMergeGreatest>(context);
    case 2:
        return std::make_unique<CMergeLeast>(context);
    case 3:
        return std::make_unique<CMergeSaturated>(context);
    case 4:
        return std::make_unique<CMergeGrey>(context);
    default:
        return std::make_unique<CMergeAverage>(context);
    }
}

} // namespace tessary
