#include "align/select_source.h"

#include "app/workspace.h"

namespace tessary {

bool selectSource(MergeWorkspace& workspace, int32_t number)
{
    if (number < 1 || number > kMaxSources)
        return false;
    if (number != 1 && number > workspace.sourceCount)
        return false;
    workspace.alignView.selectedSource = number;
    return true;
}

int32_t nextSourceAfter(int32_t selected, int32_t sourceCount)
{
    const int32_t next = selected + 1;
    return next > sourceCount || next < 1 ? 1 : next;
}

bool sourceButtonEnabled(int32_t number, int32_t sourceCount)
{
    if (number < 1 || number > kMaxSources)
        return false;
    return sourceCount >= (number < 2 ? 2 : number);
}

} // namespace tessary
