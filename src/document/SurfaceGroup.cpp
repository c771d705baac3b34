#include "document/SurfaceGroup.h"

#include <algorithm>

bool SurfaceGroup::contains(const SurfaceSection* surface) const
{
    return std::find(members.begin(), members.end(), surface) != members.end();
}
