#pragma once

#include "surface/FixedText.h"

#include <string>
#include <vector>

class SurfaceSection;

// A named group of surfaces. memberNames is what a document file keeps;
// members holds the surfaces those names found. The two run in step, except
// that after a load a name that found no surface stays in memberNames only.
struct SurfaceGroup {
    char name[kLongNameSize] = {};
    std::vector<std::string> memberNames;
    std::vector<SurfaceSection*> members;

    bool contains(const SurfaceSection* surface) const;
};
