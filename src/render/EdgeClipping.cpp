#include "render/EdgeClipping.h"

#include "surface/SurfaceSection.h"

#include <algorithm>
#include <initializer_list>
#include <cmath>

namespace render {

namespace {

// The t range in [t0, t1] of the edge inside the hole's closed rectangle;
// empty (first > second) when the edge misses it.
std::pair<double, double> insideRange(ParamPoint a, ParamPoint b, const SurfaceHole& hole, EdgePiece piece)
{
    double lo = piece.t0, hi = piece.t1;
    const double start[2] = {a.u, a.v}, delta[2] = {b.u - a.u, b.v - a.v};
    const double low[2] = {hole.rightLeftLow, hole.frontBackLow}, high[2] = {hole.rightLeftHigh, hole.frontBackHigh};
    for (int k = 0; k < 2; ++k) {
        if (delta[k] == 0.0) {
            if (start[k] < low[k] || start[k] > high[k]) return {1.0, 0.0};
            continue;
        }
        double ta = (low[k] - start[k]) / delta[k], tb = (high[k] - start[k]) / delta[k];
        if (ta > tb) std::swap(ta, tb);
        lo = std::max(lo, ta);
        hi = std::min(hi, tb);
        if (lo > hi) return {1.0, 0.0};
    }
    return {lo, hi};
}

// The range of a hole along the edge it reaches, in that edge's parameter;
// none when the hole does not reach the edge.
std::optional<std::pair<double, double>> holeOnEdge(const SurfaceHole& hole, SiteEdge edge)
{
    switch (edge) {
    case SiteEdge::Begin:
        if (hole.frontBackLow > 0.0) return std::nullopt;
        return std::pair{hole.rightLeftLow, hole.rightLeftHigh};
    case SiteEdge::End:
        if (hole.frontBackHigh < 1.0) return std::nullopt;
        return std::pair{hole.rightLeftLow, hole.rightLeftHigh};
    case SiteEdge::Left:
        if (hole.rightLeftLow > 0.0) return std::nullopt;
        return std::pair{hole.frontBackLow, hole.frontBackHigh};
    case SiteEdge::Right:
        if (hole.rightLeftHigh < 1.0) return std::nullopt;
        return std::pair{hole.frontBackLow, hole.frontBackHigh};
    }
    return std::nullopt;
}

} // namespace

std::vector<EdgePiece> ClipEdgeByHoles(ParamPoint a, ParamPoint b, const std::vector<SurfaceHole>& holes)
{
    std::vector<EdgePiece> pieces{{0.0, 1.0}};
    for (const SurfaceHole& hole : holes) {
        std::vector<EdgePiece> kept;
        for (const EdgePiece& piece : pieces) {
            const auto [tin, tout] = insideRange(a, b, hole, piece);
            if (tin >= tout) {
                kept.push_back(piece); // missed, or touched at one point only
                continue;
            }
            if (tin > piece.t0) kept.push_back({piece.t0, tin});
            if (tout < piece.t1) kept.push_back({tout, piece.t1});
        }
        if (kept.size() > static_cast<std::size_t>(kMaxEdgePieces)) kept.resize(kMaxEdgePieces);
        pieces = std::move(kept);
    }
    return pieces;
}

std::optional<SiteEdge> BoundaryOf(ParamPoint a, ParamPoint b)
{
    if (a.u == 0.0 && b.u == 0.0) return SiteEdge::Left;
    if (a.u == 1.0 && b.u == 1.0) return SiteEdge::Right;
    if (a.v == 0.0 && b.v == 0.0) return SiteEdge::Begin;
    if (a.v == 1.0 && b.v == 1.0) return SiteEdge::End;
    return std::nullopt;
}

double EdgeParameter(SiteEdge edge, ParamPoint p)
{
    return edge == SiteEdge::Begin || edge == SiteEdge::End ? p.u : p.v;
}

std::vector<double> BoundarySplitValues(const SurfaceSection& surface, SiteEdge edge)
{
    std::vector<double> values;
    for (const AttachmentSite& site : surface.attachmentSites) {
        if (site.edge() != edge || !site.otherSurface) continue;
        const SiteEdge partnerEdge = edgeOf(site.partnerSideFlag, site.partnerFirstFlag);
        for (const SurfaceHole& hole : site.otherSurface->holes) {
            const auto range = holeOnEdge(hole, partnerEdge);
            if (!range) continue;
            for (double t : {range->first, range->second}) {
                if (t < 0.0 || t > 1.0) continue;
                const double s = site.reversed ? 1.0 - t : t;
                values.push_back(site.low + s * (site.high - site.low));
            }
        }
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

std::vector<EdgePiece> SplitBoundaryPiece(ParamPoint a, ParamPoint b, SiteEdge edge, const std::vector<double>& splits)
{
    const double pa = EdgeParameter(edge, a), pb = EdgeParameter(edge, b);
    std::vector<double> cuts;
    if (pa != pb) {
        for (double s : splits) {
            const double t = (s - pa) / (pb - pa);
            if (t > 0.0 && t < 1.0) cuts.push_back(t);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    std::vector<EdgePiece> pieces;
    double from = 0.0;
    for (double t : cuts) {
        pieces.push_back({from, t});
        from = t;
    }
    pieces.push_back({from, 1.0});
    return pieces;
}

} // namespace render
