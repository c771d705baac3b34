#pragma once

#include "design/DesignResult.h"
#include "surface/AttachmentSite.h"

#include <string>
#include <string_view>

class COpenGLTemplateDoc;
class SurfaceSection;

// The attaching operations that move or build geometry: moving a surface onto
// another at their beginning or end sites, continuing a circular arc with a
// copy of its surface, and growing a new channel out of a site. Operations
// that can refuse return a DesignResult; a refused one has changed nothing.
namespace design {

inline constexpr const char* kEdgeNotSuitable = "The edge was not suitable for attaching a new surface.";
inline constexpr const char* kSelectSiteToAttachAt = "Select an attachment site at which to attach a surface.";

// The first 20 characters of the surface name followed by the first 20 of the
// site name ("a" and "left" give "aleft").
std::string MakeAttachedSurfaceName(std::string_view surfaceName, std::string_view siteName);

// `base`, or base with "_" appended as often as needed, whichever is first
// free in the current group; "" when no such name fits a name buffer.
std::string FreeNameInCurrentGroup(COpenGLTemplateDoc& document, const std::string& base);

// Holes named "Attachment" over the parts of N's beginning edge outside the
// range of its site B (nothing when B covers the whole edge).
void AddAttachmentHoles(SurfaceSection& N, const AttachmentSite& B);

// Number of control points along a site's edge: points per section for the
// beginning and end, sections for left and right.
int ControlPointsAlongEdge(const SurfaceSection& surface, SiteEdge edge);

// Two non-circular surfaces at beginning or end sites with equal u counts:
// checks that the edge cross sections are identical (mirrored when both sites
// are beginnings or both ends), moves T with every surface attached to it so
// that Y's section lands on X's (unless dontMove), and links X and Y. When the
// sections differ nothing moves and nothing is linked.
DesignResult AttachSurfaceAtSite(SurfaceSection& S, AttachmentSite& X, SurfaceSection& T, AttachmentSite& Y,
                                 bool dontMove);

// A copy of the circular surface S (a quarter, a half or a third) turned about
// the centre so that it continues the arc beyond the side site X, linked there.
// The copy joins the current group and becomes the selected surface.
DesignResult AttachIdenticalCircularSurface(COpenGLTemplateDoc& document, SurfaceSection& S, AttachmentSite& X);

// A new attached channel (type 3) grown out of the free site X of P with m
// intermediate sections, its initial direction taken from edge point j
// (0-based). On failure (kEdgeNotSuitable) nothing has changed.
DesignResult GrowSurfaceFromSite(COpenGLTemplateDoc& document, SurfaceSection& P, AttachmentSite& X, int m, int j);

// The attach dialog's "Identical circular surface" and "New channel surface"
// buttons: their checks, then the operation, then every surface is shown.
// X may be none (no site chosen); directionIndex is 1-based.
DesignResult IdenticalCircularButton(COpenGLTemplateDoc& document, SurfaceSection& S, AttachmentSite* X);
DesignResult NewChannelButton(COpenGLTemplateDoc& document, SurfaceSection& S, AttachmentSite* X, int intermediate,
                              int directionIndex);
// The dialog's initial intermediate count and direction index for a surface,
// and the ranges of both fields.
inline constexpr int kDefaultGrowIntermediate = 1;
inline constexpr int kGrowIntermediateLow = 0;
inline constexpr int kGrowIntermediateHigh = 20;
inline constexpr int kDirectionIndexLow = 1;
inline constexpr int kDirectionIndexHigh = 20;
int DefaultDirectionIndex(const SurfaceSection& surface);

} // namespace design
