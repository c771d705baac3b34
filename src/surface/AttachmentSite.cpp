#include "surface/AttachmentSite.h"

const char* edgeName(SiteEdge e)
{
    switch (e) {
    case SiteEdge::Begin: return "begin";
    case SiteEdge::End: return "end";
    case SiteEdge::Left: return "left";
    case SiteEdge::Right: return "right";
    }
    return "begin";
}

AttachmentSite::AttachmentSite() { makeFree(); }

AttachmentSite::AttachmentSite(const char* siteName, SiteEdge e, double lowValue, double highValue)
    : low(lowValue), high(highValue), sideFlag(sideFlagOf(e)), firstFlag(firstFlagOf(e))
{
    setText(name, siteName);
    makeFree();
}

void AttachmentSite::makeFree()
{
    attachedLow = 0.0;
    attachedHigh = 1.0;
    otherSurface = nullptr;
    setText(otherSurfaceName, "none");
    setText(otherSurfaceGroupName, "none");
    partnerSideFlag = 0;
    partnerFirstFlag = 0;
    partnerAttachedLow = 0.0;
    partnerAttachedHigh = 0.0;
    reversed = 0;
    pseudoSurface = nullptr;
    setText(pseudoSurfaceName, "none");
    setText(pseudoSurfaceGroupName, "none");
}
