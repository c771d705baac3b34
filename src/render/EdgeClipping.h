#pragma once

#include "surface/AttachmentSite.h"
#include "surface/CrossSection.h"

#include <optional>
#include <vector>

class SurfaceSection;

// The parameter-space work behind drawing mesh edges: cutting holes out of
// an edge, telling edges that lie on the surface's boundary, and the places
// where a boundary edge is split. No drawing here.
namespace render {

struct ParamPoint {
    double u = 0.0, v = 0.0;
};

// A piece of an edge from a to b: the points a + t (b - a) for t in [t0, t1].
struct EdgePiece {
    double t0 = 0.0, t1 = 1.0;
};

inline constexpr int kMaxEdgePieces = 20;

// The parts of the edge from a to b outside every hole, holes taken in turn:
// a piece inside a hole (both ends in it, borders included) goes, a piece
// with one end inside is cut back to the border, a piece through a hole is
// split in two. A piece that only touches a border stays whole. At most 20
// pieces are kept; pieces past that are dropped.
std::vector<EdgePiece> ClipEdgeByHoles(ParamPoint a, ParamPoint b, const std::vector<SurfaceHole>& holes);

// The boundary edge both ends lie on (both at u = 0: left, u = 1: right,
// v = 0: begin, v = 1: end), or none for an inner edge.
std::optional<SiteEdge> BoundaryOf(ParamPoint a, ParamPoint b);

// The parameter along a boundary edge of a point on it (u on the begin and end
// edges, v on the left and right edges).
double EdgeParameter(SiteEdge edge, ParamPoint p);

// Where a boundary edge of the surface is split before it is drawn thick:
// for each of the surface's sites on that edge with an attached surface, the
// ends of that surface's holes that reach the edge it is attached by, mapped
// into the site's range (backwards for a reversed link). Sorted, no repeats.
std::vector<double> BoundarySplitValues(const SurfaceSection& surface, SiteEdge edge);

// The piece of a boundary edge from a to b cut at the split values that lie
// strictly inside it, in order from a to b.
std::vector<EdgePiece> SplitBoundaryPiece(ParamPoint a, ParamPoint b, SiteEdge edge, const std::vector<double>& splits);

} // namespace render
