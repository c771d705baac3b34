#pragma once

#include "surface/FixedText.h"

#include <cstdint>

class SurfaceSection;

// The edge a site lies on, told by the side flag and the first flag.
enum class SiteEdge { Begin, End, Left, Right };

inline SiteEdge edgeOf(std::uint8_t sideFlag, std::uint8_t firstFlag)
{
    if (sideFlag) return firstFlag ? SiteEdge::Left : SiteEdge::Right;
    return firstFlag ? SiteEdge::Begin : SiteEdge::End;
}
inline std::uint8_t sideFlagOf(SiteEdge e) { return (e == SiteEdge::Left || e == SiteEdge::Right) ? 1 : 0; }
inline std::uint8_t firstFlagOf(SiteEdge e) { return (e == SiteEdge::Begin || e == SiteEdge::Left) ? 1 : 0; }
// "begin", "end", "left" or "right".
const char* edgeName(SiteEdge e);

// A named parameter range on one edge of a surface, where another surface may
// be linked so that the ball rolls across. The surface references are run-time
// links re-resolved from the stored names after a load.
struct AttachmentSite {
    char name[kShortNameSize] = {};
    double low = 0.0;
    double high = 1.0;
    std::uint8_t sideFlag = 0;
    std::uint8_t firstFlag = 0;
    double attachedLow = 0.0;
    double attachedHigh = 1.0;
    SurfaceSection* otherSurface = nullptr; // none: the site is free
    char otherSurfaceName[kLongNameSize] = {};
    char otherSurfaceGroupName[kLongNameSize] = {};
    std::uint8_t partnerSideFlag = 0;
    std::uint8_t partnerFirstFlag = 0;
    double partnerAttachedLow = 0.0;
    double partnerAttachedHigh = 0.0;
    std::int32_t reversed = 0;
    SurfaceSection* pseudoSurface = nullptr;
    char pseudoSurfaceName[kLongNameSize] = {};
    char pseudoSurfaceGroupName[kLongNameSize] = {};

    AttachmentSite();
    // A free site on the given edge over [low, high].
    AttachmentSite(const char* siteName, SiteEdge edge, double lowValue, double highValue);

    SiteEdge edge() const { return edgeOf(sideFlag, firstFlag); }
    bool isFree() const { return otherSurface == nullptr; }
    // Makes the site free: no other or pseudo surface, names "none", partner data cleared.
    void makeFree();
};
