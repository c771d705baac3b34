#pragma once

#include "design/DesignResult.h"
#include "surface/AttachmentSite.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class COpenGLTemplateDoc;
class SurfaceSection;

// Sites of a surface and the links between surfaces: adding and deleting
// sites, the attach decision between two surfaces, linking, joining circular
// surfaces, breaking a link and the attached-surface lines of the panel.
// Every operation that can refuse returns a DesignResult with the text of
// its message box, and then nothing has changed.
namespace design {

// Longest site or hole name: the record keeps 20 bytes with the terminator.
inline constexpr int kMaxShortName = static_cast<int>(kShortNameSize) - 1;

// Site and hole ranges are parameters of the unit square.
inline constexpr double kParameterLow = 0.0;
inline constexpr double kParameterHigh = 1.0;

// Rebuilds a surface's meshes and boxes from its net and marks its drawing stale.
void RebuildDerived(SurfaceSection& surface);

// "begin", "end", "left" or "right" (exact words), or none.
std::optional<SiteEdge> SiteEdgeFromWord(std::string_view word);

// Site and hole names compare without regard to letter case.
bool NamesEqualNoCase(std::string_view a, std::string_view b);

// True when [a, b] and [lo, hi] share more than an end point.
bool RangesOverlap(double a, double b, double lo, double hi);

// "Add new" of the sites dialog: the field limits, then the five checks in
// order; appends a free site and marks the site drawing stale.
DesignResult AddSite(SurfaceSection& surface, std::string_view name, SiteEdge edge, double low, double high);
// "Delete selected": index into the site list, or -1 for no selection. A
// linked site's link is broken on both sides first, as BreakAttachment does.
DesignResult DeleteSite(SurfaceSection& surface, int index);
// Index of the site with this name (without regard to case), or -1.
int FindSiteIndex(const SurfaceSection& surface, std::string_view name);

// A line of the sites dialog: "%s   [%s, %0.2lf, %0.2lf]".
std::string SiteListLine(const AttachmentSite& site);

// The first site with these flags, or none.
AttachmentSite* FindSite(SurfaceSection& surface, std::uint8_t sideFlag, std::uint8_t firstFlag);

// Records the link on both sites: names, attached ranges and the parameter
// direction. The caller has set both partner-flag pairs.
void LinkSites(SurfaceSection& surfaceA, AttachmentSite& a, SurfaceSection& surfaceB, AttachmentSite& b);

// Links a site of a circular surface S with a beginning or end site of a
// channel T; nothing moves. Each site's partner flags are set to the other
// site's edge flags first, so that the ball crosses onto the right edge and
// breaking the link finds the partner. Rebuilds S.
void LinkCircularToChannel(SurfaceSection& S, AttachmentSite& X, SurfaceSection& T, AttachmentSite& Y);

// Links the side sites of two circular surfaces; nothing moves. Rebuilds both.
void JoinCircularSurfaces(SurfaceSection& S, AttachmentSite& X, SurfaceSection& T, AttachmentSite& Y);

// What "Attach" of the attach dialog was given: the selected surface S with
// its free site X, the surface T to attach with its free site Y (either may be
// none), the "Don't move: " box and the optional pseudo surface.
struct AttachChoice {
    SurfaceSection* S = nullptr;
    AttachmentSite* X = nullptr;
    SurfaceSection* T = nullptr;
    AttachmentSite* Y = nullptr;
    bool dontMove = false;
    SurfaceSection* pseudo = nullptr;
};

// The attach dialog's lists: the indices of a surface's free sites, and the
// label of a surface ("group::name", or the bare name without a group).
std::vector<int> FreeSiteIndices(const SurfaceSection& surface);
std::string SurfaceChoiceLabel(const SurfaceSection& surface);

// "Attach": the decision table over circular and non-circular surfaces and
// their edges. A refusal may take two message boxes (messages()). A surface cannot be attached to itself, nor at a
// site that is linked already (the dialog never offers either).
DesignResult AttachSurfaces(COpenGLTemplateDoc& document, const AttachChoice& choice);

inline constexpr const char* kSelectAttachedToDetach = "Select the attached surface which you would like to detach.";

// "Break attachment" on the linked site `index` of `surface`: frees it and its
// partner site on the other surface. Refuses a site that is not linked
// (kSelectAttachedToDetach).
DesignResult BreakAttachment(SurfaceSection& surface, int index);

// One line of the "Attached surfaces :" tree with the site it stands for.
struct AttachedSurfaceLine {
    std::string text;
    int siteIndex = 0;
};
// "%s -> [%s : %s]" per linked site, with ", *[%s : %s]" for a pseudo
// surface. Every part is a bounded name, so a line stays far below the
// tree's limit of 299 characters.
std::vector<AttachedSurfaceLine> AttachedSurfaceLines(const SurfaceSection& surface);

} // namespace design
