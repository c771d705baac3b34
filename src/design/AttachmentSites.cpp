#include "design/AttachmentSites.h"

#include "design/AttachGeometry.h"
#include "design/ChannelCreation.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/SurfaceGroup.h"

#include <cctype>
#include <cstdio>

namespace design {

namespace {

constexpr const char* kInvalidAttachment = "Invalid attachment.";

bool isCircular(const SurfaceSection& s) { return s.surfaceType == kTypeCircular; }
bool isSide(const AttachmentSite& site) { return site.sideFlag != 0; }

void setOther(AttachmentSite& site, SurfaceSection& other)
{
    site.otherSurface = &other;
    setText(site.otherSurfaceName, textOf(other.name));
    setText(site.otherSurfaceGroupName, textOf(other.groupName));
}

// Frees the link of a site as "Break attachment" does: ranges, partner flags
// and the pseudo surface stay.
void unlink(AttachmentSite& site)
{
    site.otherSurface = nullptr;
    setText(site.otherSurfaceName, "none");
    setText(site.otherSurfaceGroupName, "none");
}

void recordPseudo(AttachmentSite& site, SurfaceSection& pseudo)
{
    site.pseudoSurface = &pseudo;
    setText(site.pseudoSurfaceName, textOf(pseudo.name));
    setText(site.pseudoSurfaceGroupName, pseudo.group ? textOf(pseudo.groupName) : std::string("none"));
}

} // namespace

std::optional<SiteEdge> SiteEdgeFromWord(std::string_view word)
{
    for (SiteEdge e : {SiteEdge::Begin, SiteEdge::End, SiteEdge::Left, SiteEdge::Right})
        if (word == edgeName(e)) return e;
    return std::nullopt;
}

bool NamesEqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(a[k])) != std::tolower(static_cast<unsigned char>(b[k])))
            return false;
    return true;
}

bool RangesOverlap(double a, double b, double lo, double hi)
{
    return (a < lo && lo < b) || (a < hi && hi < b) || (lo < a && a < hi) || (lo < b && b < hi) ||
           (a == lo && b == hi);
}

void RebuildDerived(SurfaceSection& surface)
{
    surface.Rebuild();
    surface.drawingCache.markStale();
}

DesignResult AddSite(SurfaceSection& surface, std::string_view name, SiteEdge edge, double low, double high)
{
    if (name.size() > static_cast<std::size_t>(kMaxShortName)) return TextLengthPrompt(kMaxShortName);
    for (double value : {low, high})
        if (auto prompt = CheckNumber(value, kParameterLow, kParameterHigh); !prompt.ok()) return prompt;
    if (name.empty()) return "The new site name must not be blank.";
    if (FindSiteIndex(surface, name) >= 0) return "A site already exists for the current surface with that name.";
    if (high == low) return "The parameter range must be greater than 0.";
    if (high < low) return "The low end of the parameter range must be less than the high end.";
    const std::uint8_t side = sideFlagOf(edge), first = firstFlagOf(edge);
    for (const AttachmentSite& site : surface.attachmentSites) {
        if (site.sideFlag != side || site.firstFlag != first) continue;
        if (RangesOverlap(site.low, site.high, low, high))
            return "The proposed attachment site would overlap the site named " + textOf(site.name) + ".";
    }
    surface.attachmentSites.emplace_back(std::string(name).c_str(), edge, low, high);
    surface.drawingCache.valid[DrawingCache::kSites] = false;
    surface.MarkChanged();
    return {};
}

DesignResult DeleteSite(SurfaceSection& surface, int index)
{
    if (index < 0 || index >= static_cast<int>(surface.attachmentSites.size())) return "Select a site to delete.";
    // A linked site is freed first, on both sides, so that no partner site
    // keeps a link to a site that is gone.
    if (surface.attachmentSites[index].otherSurface) static_cast<void>(BreakAttachment(surface, index));
    surface.attachmentSites.erase(surface.attachmentSites.begin() + index);
    surface.drawingCache.valid[DrawingCache::kSites] = false;
    surface.MarkChanged();
    return {};
}

int FindSiteIndex(const SurfaceSection& surface, std::string_view name)
{
    for (std::size_t k = 0; k < surface.attachmentSites.size(); ++k)
        if (NamesEqualNoCase(textOf(surface.attachmentSites[k].name), name)) return static_cast<int>(k);
    return -1;
}

std::string SiteListLine(const AttachmentSite& site)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s   [%s, %0.2lf, %0.2lf]", textOf(site.name).c_str(), edgeName(site.edge()),
                  site.low, site.high);
    return text;
}

AttachmentSite* FindSite(SurfaceSection& surface, std::uint8_t sideFlag, std::uint8_t firstFlag)
{
    for (AttachmentSite& site : surface.attachmentSites)
        if (site.sideFlag == sideFlag && site.firstFlag == firstFlag) return &site;
    return nullptr;
}

void LinkSites(SurfaceSection& surfaceA, AttachmentSite& a, SurfaceSection& surfaceB, AttachmentSite& b)
{
    setOther(a, surfaceB);
    setOther(b, surfaceA);
    a.attachedLow = b.attachedLow = 0.0;
    a.attachedHigh = b.attachedHigh = 1.0;
    a.partnerAttachedLow = b.attachedLow;
    a.partnerAttachedHigh = b.attachedHigh;
    b.partnerAttachedLow = a.attachedLow;
    b.partnerAttachedHigh = a.attachedHigh;

    if (isCircular(surfaceA) && isCircular(surfaceB)) {
        a.low = b.low = 0.0;
        a.high = b.high = 1.0;
        a.reversed = b.reversed = 0;
        return;
    }
    // A beginning joined to an end runs the same way as an end joined to a
    // beginning: the two edges are one row of control points in one order.
    const SiteEdge ea = a.edge();
    const bool sameWay = ea == SiteEdge::Left || (ea == SiteEdge::End && isSide(b)) ||
                         (!isSide(a) && !isSide(b) && a.partnerFirstFlag != b.partnerFirstFlag);
    if (sameWay) {
        b.low = a.low;
        b.high = a.high;
        a.reversed = b.reversed = 0;
    } else {
        const double low = 1.0 - a.high, high = 1.0 - a.low;
        b.low = low;
        b.high = high;
        a.reversed = b.reversed = 1;
    }
}

void JoinCircularSurfaces(SurfaceSection& S, AttachmentSite& X, SurfaceSection& T, AttachmentSite& Y)
{
    X.partnerSideFlag = 1;
    X.partnerFirstFlag = X.firstFlag ? 0 : 1;
    Y.partnerSideFlag = 1;
    Y.partnerFirstFlag = X.firstFlag;
    LinkSites(S, X, T, Y);
    RebuildDerived(S);
    RebuildDerived(T);
}

std::vector<int> FreeSiteIndices(const SurfaceSection& surface)
{
    std::vector<int> free;
    for (std::size_t k = 0; k < surface.attachmentSites.size(); ++k)
        if (surface.attachmentSites[k].isFree()) free.push_back(static_cast<int>(k));
    return free;
}

std::string SurfaceChoiceLabel(const SurfaceSection& surface)
{
    return surface.group ? textOf(surface.group->name) + "::" + textOf(surface.name) : textOf(surface.name);
}

DesignResult AttachSurfaces(COpenGLTemplateDoc& document, const AttachChoice& c)
{
    if (!c.S || !c.X) return "Select an attachment site at which to attach a surface.";
    if (!c.T || !c.Y)
        return DesignResult::refuse("Select a surface to attach and its attachment site.", kInvalidAttachment);
    SurfaceSection& S = *c.S;
    SurfaceSection& T = *c.T;
    AttachmentSite& X = *c.X;
    AttachmentSite& Y = *c.Y;
    if (&S == &T || !X.isFree() || !Y.isFree()) return kInvalidAttachment;
    const bool sCircular = isCircular(S), tCircular = isCircular(T);
    bool joinedCircles = false;

    if (!sCircular) {
        if (tCircular || isSide(X) || isSide(Y)) return kInvalidAttachment;
        if (S.pointsPerSection != T.pointsPerSection)
            return DesignResult::refuse("You can only attach another surface at the selected site with an equal "
                                        "number of control points in the u direction.",
                                        kInvalidAttachment);
        const DesignResult refusal = AttachSurfaceAtSite(S, X, T, Y, c.dontMove);
        if (!refusal.ok()) return refusal;
    } else if (isSide(X)) {
        if (tCircular && isSide(Y)) {
            JoinCircularSurfaces(S, X, T, Y);
            joinedCircles = true;
        } else if (!tCircular && !isSide(Y)) {
            LinkCircularToChannel(S, X, T, Y);
        } else {
            return kInvalidAttachment;
        }
    } else {
        if (tCircular || isSide(Y)) return kInvalidAttachment;
        LinkCircularToChannel(S, X, T, Y);
    }

    if (!joinedCircles) RebuildDerived(T);
    if (c.pseudo) recordPseudo(X, *c.pseudo);
    document.SetAllRender(1);
    document.SetModifiedFlag();
    return {};
}

void LinkCircularToChannel(SurfaceSection& S, AttachmentSite& X, SurfaceSection& T, AttachmentSite& Y)
{
    X.partnerSideFlag = Y.sideFlag;
    X.partnerFirstFlag = Y.firstFlag;
    Y.partnerSideFlag = X.sideFlag;
    Y.partnerFirstFlag = X.firstFlag;
    LinkSites(S, X, T, Y);
    RebuildDerived(S);
}

DesignResult BreakAttachment(SurfaceSection& surface, int index)
{
    if (index < 0 || index >= static_cast<int>(surface.attachmentSites.size()) ||
        !surface.attachmentSites[index].otherSurface)
        return kSelectAttachedToDetach;
    AttachmentSite& X = surface.attachmentSites[index];
    SurfaceSection& T = *X.otherSurface;
    for (AttachmentSite& Y : T.attachmentSites) {
        if (Y.otherSurface == &surface && Y.sideFlag == X.partnerSideFlag && Y.firstFlag == X.partnerFirstFlag &&
            Y.attachedLow == X.partnerAttachedLow && Y.attachedHigh == X.partnerAttachedHigh) {
            unlink(Y);
            break;
        }
    }
    RebuildDerived(T);
    unlink(X);
    surface.MarkChanged();
    return {};
}

std::vector<AttachedSurfaceLine> AttachedSurfaceLines(const SurfaceSection& surface)
{
    std::vector<AttachedSurfaceLine> lines;
    for (std::size_t k = 0; k < surface.attachmentSites.size(); ++k) {
        const AttachmentSite& site = surface.attachmentSites[k];
        if (!site.otherSurface) continue;
        std::string text = textOf(site.name) + " -> [" + textOf(site.otherSurfaceGroupName) + " : " +
                           textOf(site.otherSurfaceName) + "]";
        if (site.pseudoSurface)
            text += ", *[" + textOf(site.pseudoSurfaceGroupName) + " : " + textOf(site.pseudoSurfaceName) + "]";
        lines.push_back({std::move(text), static_cast<int>(k)});
    }
    return lines;
}

} // namespace design
