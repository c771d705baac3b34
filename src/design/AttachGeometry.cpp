#include "design/AttachGeometry.h"

#include "design/AttachmentSites.h"
#include "design/ChannelCreation.h"
#include "design/CircularSurface.h"
#include "design/Holes.h"
#include "document/OpenGLTemplateDoc.h"
#include "geometry/Matrix4.h"
#include "gul/Error.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace design {

namespace {

// Two directions within this angle of 0 or pi count as parallel.
constexpr double kParallelAngle = 1e-7;
// Largest difference of corresponding shape points that still counts as equal.
constexpr double kShapeTolerance = 0.0001;
// Longest part of each name that MakeAttachedSurfaceName keeps.
constexpr std::size_t kAttachedNamePart = 20;

double angleBetween(const Vec3& a, const Vec3& b)
{
    return std::acos(std::clamp(dot(normalized(a), normalized(b)), -1.0, 1.0));
}

bool parallel(double angle) { return angle <= kParallelAngle || std::fabs(angle - kPi) <= kParallelAngle; }

// The rotation that turns `from` onto `to`: axis and angle; `fallback` is the
// axis when the two are parallel.
void rotationOnto(const Vec3& from, const Vec3& to, const Vec3& fallback, Vec3& axis, double& angle)
{
    angle = angleBetween(from, to);
    axis = parallel(angle) ? normalized(fallback) : normalized(cross(from, to));
}

int edgeSectionIndex(const SurfaceSection& s, const AttachmentSite& site)
{
    return site.edge() == SiteEdge::Begin ? 0 : std::min(s.sectionCount, kMaxSections) - 1;
}

// Same number of points, equal scales, and every point equal in x and y
// within the tolerance; `mirrored` compares a with b mirrored (point order
// reversed, x negated).
bool shapesIdentical(const CrossSection& a, const CrossSection& b, bool mirrored)
{
    if (a.pointCount != b.pointCount || a.scale != b.scale) return false;
    const int n = std::clamp(a.pointCount, 0, kMaxSectionPoints);
    for (int k = 0; k < n; ++k) {
        const Vec3& p = a.points[k];
        const Vec3& q = b.points[mirrored ? n - 1 - k : k];
        const double qx = mirrored ? -q.x : q.x;
        if (std::fabs(p.x - qx) > kShapeTolerance || std::fabs(p.y - q.y) > kShapeTolerance) return false;
    }
    return true;
}

void mirrorShape(CrossSection& section)
{
    const int n = std::clamp(section.pointCount, 0, kMaxSectionPoints);
    std::reverse(section.points, section.points + n);
    for (int k = 0; k < n; ++k) section.points[k].x = -section.points[k].x;
}

// Net, section vectors, end frames, height range, meshes and drawing.
void rebuildFromSections(SurfaceSection& s)
{
    s.BuildNet();
    s.ComputeSectionVectors();
    s.CopyEndFrames();
    s.ComputeHeightRange();
    RebuildDerived(s);
}

Vec3 netPoint(const SurfaceSection& s, int row, int column)
{
    const gul::HPoint4f& p = s.controlNet[row][column];
    return {p.x, p.y, p.z};
}

// The edge of P along site X: the edge control points E(i) in P's order and
// the outward steps D(i) = E(i) - I(i), I(i) being the next point inwards.
struct EdgeRows {
    std::vector<Vec3> E, D;
};

EdgeRows edgeRows(COpenGLTemplateDoc& document, const SurfaceSection& P, SiteEdge edge)
{
    LockGuard guard(document.geometryLock);
    const int n = P.pointsPerSection, C = P.sectionCount;
    const int count = ControlPointsAlongEdge(P, edge);
    EdgeRows rows;
    for (int i = 0; i < count; ++i) {
        Vec3 e, inner;
        switch (edge) {
        case SiteEdge::Left: e = netPoint(P, i, 0), inner = netPoint(P, i, 1); break;
        case SiteEdge::Right: e = netPoint(P, i, n - 1), inner = netPoint(P, i, n - 2); break;
        case SiteEdge::Begin: e = netPoint(P, 0, i), inner = netPoint(P, 1, i); break;
        case SiteEdge::End: e = netPoint(P, C - 1, i), inner = netPoint(P, C - 2, i); break;
        }
        rows.E.push_back(e);
        rows.D.push_back(e - inner);
    }
    return rows;
}

// The new surface's point order runs against P's for right and beginning
// sites, so that its u direction and its normal agree with P's across the
// link (which LinkSites records as reversed for exactly these sites).
bool rowsReversed(SiteEdge edge) { return edge == SiteEdge::Right || edge == SiteEdge::Begin; }

// The up vector of the new surface: perpendicular to the outward direction n,
// and such that n x up runs along the new surface's u direction.
Vec3 grownUp(const SurfaceSection& P, const EdgeRows& rows, SiteEdge edge, int j, const Vec3& n)
{
    const Vec3 documentUp = COpenGLTemplateDoc::upVector;
    Vec3 up;
    if (P.surfaceType == kTypeCircular) {
        up = documentUp - dot(documentUp, n) * n;
    } else if (edge == SiteEdge::Left || edge == SiteEdge::Right) {
        up = cross(P.sections[j].direction, n);
        if (edge == SiteEdge::Right) up = -up;
    } else {
        Vec3 across = rows.E.back() - rows.E.front();
        if (rowsReversed(edge)) across = -across;
        up = cross(across, n);
    }
    if (length(up) < 1e-9) up = documentUp - dot(documentUp, n) * n;
    return normalized(up);
}

// The distance L of the plane of the third row beyond the second (the
// three-pass search); false when a line misses the plane or, in the first
// pass, an outward step does not point towards it.
bool planeRow(const EdgeRows& rows, int j, double& L, std::vector<Vec3>& row2)
{
    const int count = static_cast<int>(rows.E.size());
    const Vec3& dRef = rows.D[j];
    const double stepLength = length(dRef);
    const Vec3 n = normalized(dRef);
    L = stepLength;
    double best = -1.0, o1 = 0.0, o2 = 0.0;
    int q = -1;
    row2.assign(count, Vec3{});
    for (int pass = 1; pass <= 3;) {
        const Vec3 onPlane = rows.E[j] + dRef + L * n;
        for (int i = 0; i < count; ++i) {
            const Vec3& D = rows.D[i];
            const double towards = dot(D, n);
            if (pass == 1 && !(towards > 0.0)) return false;
            if (!(std::fabs(towards) > 1e-12 * std::max(1.0, length(D)))) return false;
            const double t = dot(onPlane - rows.E[i], n) / towards;
            const Vec3 X = rows.E[i] + t * D;
            if (pass == 3) {
                row2[i] = X;
                continue;
            }
            const Vec3 reach = X - rows.E[i];
            const double o = dot(reach, D) > 0.0 ? length(D) - length(reach) : length(D) + length(reach);
            if (pass == 1 && o > 0.0 && o > best) {
                best = o1 = o;
                q = i;
            }
            if (pass == 2 && i == q) o2 = o;
        }
        if (pass == 1) {
            if (best < 0.0) {
                pass = 3;
            } else {
                L += stepLength;
                pass = 2;
            }
        } else if (pass == 2) {
            if (o1 == o2) return false;
            const double r = std::fabs(o1 / (o1 - o2));
            L = stepLength * (1.0 + r);
            pass = 3;
        } else {
            break;
        }
    }
    return true;
}

} // namespace

std::string MakeAttachedSurfaceName(std::string_view surfaceName, std::string_view siteName)
{
    return std::string(surfaceName.substr(0, kAttachedNamePart)) + std::string(siteName.substr(0, kAttachedNamePart));
}

std::string FreeNameInCurrentGroup(COpenGLTemplateDoc& document, const std::string& base)
{
    document.EnsureMainGroup();
    const std::string group = textOf(document.currentGroup->name);
    std::string name = base;
    while (document.SurfaceNameExistsInGroup(name, group)) {
        if (name.size() >= static_cast<std::size_t>(kMaxSurfaceNameLength)) return {};
        name += '_';
    }
    return name;
}

void AddAttachmentHoles(SurfaceSection& N, const AttachmentSite& B)
{
    if (B.low <= 0.0 && B.high >= 1.0) return;
    if (B.low > 0.0) N.holes.push_back(MakeHole("Attachment", 0.0, B.low, 0.0, 1.0));
    if (B.high < 1.0) N.holes.push_back(MakeHole("Attachment", B.high, 1.0, 0.0, 1.0));
    N.drawingCache.markStale();
}

int ControlPointsAlongEdge(const SurfaceSection& surface, SiteEdge edge)
{
    return edge == SiteEdge::Left || edge == SiteEdge::Right ? surface.sectionCount : surface.pointsPerSection;
}

DesignResult AttachSurfaceAtSite(SurfaceSection& S, AttachmentSite& X, SurfaceSection& T, AttachmentSite& Y,
                                 bool dontMove)
{
    const CrossSection& sx = S.sections[edgeSectionIndex(S, X)];
    const int yIndex = edgeSectionIndex(T, Y);
    const bool sameKind = X.edge() == Y.edge();
    if (!shapesIdentical(sx, T.sections[yIndex], sameKind))
        return "The cross sections at the surface attachment sites must be identical.";

    if (!dontMove) {
        const CrossSection& sy = T.sections[yIndex];
        const Vec3 target = sameKind ? -sx.direction : sx.direction;
        Vec3 axis1, axis2;
        double theta1 = 0.0, theta2 = 0.0;
        rotationOnto(sy.direction, target, sy.up, axis1, theta1);
        Vec3 turnedDirection = sy.direction, turnedUp = sy.up;
        if (theta1 != 0.0) {
            turnedDirection = rotateVector(turnedDirection, axis1, theta1);
            turnedUp = rotateVector(turnedUp, axis1, theta1);
        }
        rotationOnto(turnedUp, sx.up, turnedDirection, axis2, theta2);
        const Vec3 centre = sy.position;
        const Vec3 translation = sx.position - sy.position;
        // S stays where it is, even when T is already linked to it elsewhere.
        std::set<SurfaceSection*> visited{&S};
        MoveSurfaceTree(&T, nullptr, visited, translation, centre, axis1, theta1, axis2, theta2,
                        S.flipDiagonals != T.flipDiagonals);

        CrossSection copy = sx;
        if (sameKind) {
            copy.direction = -copy.direction;
            mirrorShape(copy);
        }
        T.sections[yIndex] = copy;
        rebuildFromSections(T);
    }

    X.partnerSideFlag = Y.sideFlag;
    X.partnerFirstFlag = Y.firstFlag;
    Y.partnerSideFlag = X.sideFlag;
    Y.partnerFirstFlag = X.firstFlag;
    LinkSites(S, X, T, Y);
    RebuildDerived(S);
    RebuildDerived(T);
    S.MarkChanged();
    return {};
}

DesignResult AttachIdenticalCircularSurface(COpenGLTemplateDoc& document, SurfaceSection& S, AttachmentSite& X)
{
    const std::string name = FreeNameInCurrentGroup(document, MakeAttachedSurfaceName(textOf(S.name), textOf(X.name)));
    if (name.empty()) return kNameExists;
    SurfaceSection* copy = CreateCircularSurface(document, name, S.shapeParameter, S.pointsPerSection,
                                                 S.sectionCount, S.shapeValue1, S.shapeValue2);
    if (!copy) return kSurfaceNotBuilt;

    double angle = PortionAngleDegrees(S.shapeParameter) / 360.0 * kTwoPi;
    if (X.firstFlag == 0) angle = -angle;
    const int sections = std::min(S.sectionCount, kMaxSections);
    for (int k = 0; k < sections; ++k) {
        CrossSection& c = copy->sections[k];
        c = S.sections[k];
        c.direction = rotateVector(c.direction, c.up, angle);
    }
    rebuildFromSections(*copy);

    AttachmentSite* Z = FindSite(*copy, 1, X.firstFlag ? 0 : 1);
    X.partnerSideFlag = 1;
    X.partnerFirstFlag = X.firstFlag ? 0 : 1;
    Z->partnerSideFlag = 1;
    Z->partnerFirstFlag = X.firstFlag;
    LinkSites(S, X, *copy, *Z);
    RebuildDerived(S);
    RebuildDerived(*copy);
    document.SetModifiedFlag();
    return {};
}

DesignResult GrowSurfaceFromSite(COpenGLTemplateDoc& document, SurfaceSection& P, AttachmentSite& X, int m, int j)
{
    const SiteEdge edge = X.edge();
    const int count = ControlPointsAlongEdge(P, edge);
    if (!X.isFree()) return kSelectSiteToAttachAt;
    if (j < 0 || j >= count || m < 0 || m > kMaxSections - 4 || count < 2 || !P.hasNet()) return kEdgeNotSuitable;

    const EdgeRows rows = edgeRows(document, P, edge);
    if (!(length(rows.D[j]) > 0.0)) return kEdgeNotSuitable;
    double L = 0.0;
    std::vector<Vec3> row2;
    if (!planeRow(rows, j, L, row2)) return kEdgeNotSuitable;
    const Vec3 n = normalized(rows.D[j]);
    const Vec3 up = grownUp(P, rows, edge, j, n);
    if (!(length(up) > 0.0)) return kEdgeNotSuitable;

    const std::string name = FreeNameInCurrentGroup(document, MakeAttachedSurfaceName(textOf(P.name), textOf(X.name)));
    if (name.empty()) return kNameExists;

    auto grown = std::make_unique<SurfaceSection>(&document);
    SurfaceSection& N = *grown;
    setText(N.name, name);
    // Linked under the group it joins, so that the link survives a save.
    setText(N.groupName, textOf(document.currentGroup->name));
    N.group = document.currentGroup;
    N.intermediateCount = m;
    N.surfaceType = kTypeAttached;
    N.requestedPointsPerSection = count;
    N.samplingMode = SamplingMode::PerSpan;
    N.flipDiagonals = X.sideFlag ? (P.flipDiagonals ? 0 : 1) : 0;
    const bool reversed = rowsReversed(edge);
    try {
        N.SizeForType(kTypeAttached);
        {
            LockGuard guard(document.geometryLock);
            const int sections = N.sectionCount;
            for (int i = 0; i < count; ++i) {
                const int column = reversed ? count - 1 - i : i;
                Vec3 point[3] = {rows.E[i], rows.E[i] + rows.D[i], row2[i]};
                for (int k = 0; k < sections; ++k) {
                    const Vec3 X3 = k < 3 ? point[k] : point[2] + static_cast<double>(k - 2) * L * n;
                    N.controlNet[k][column] = {static_cast<float>(X3.x), static_cast<float>(X3.y),
                                               static_cast<float>(X3.z), 1.0f};
                }
            }
        }
        N.SectionsFromNet(reversed ? count - j - 1 : j, n, up);
        N.reverseNormal = N.wrapU = N.wrapV = N.uLineEnabled = N.vLineEnabled = false;
        rebuildFromSections(N);
    } catch (const gul::Error&) {
        return kEdgeNotSuitable;
    }

    N.AddDefaultSites();
    AttachmentSite* end = FindSite(N, 0, 0);
    if (reversed) {
        end->low = 1.0 - X.high;
        end->high = 1.0 - X.low;
    } else {
        end->low = X.low;
        end->high = X.high;
    }
    AttachmentSite* B = FindSite(N, 0, 1);
    X.partnerSideFlag = B->sideFlag;
    X.partnerFirstFlag = B->firstFlag;
    B->partnerSideFlag = X.sideFlag;
    B->partnerFirstFlag = X.firstFlag;
    LinkSites(P, X, N, *B);
    AddAttachmentHoles(N, *B);
    RebuildDerived(P);
    RebuildDerived(N);
    AddCreatedSurface(document, std::move(grown));
    return {};
}

int DefaultDirectionIndex(const SurfaceSection& surface) { return 1 + surface.sectionCount / 2; }

DesignResult IdenticalCircularButton(COpenGLTemplateDoc& document, SurfaceSection& S, AttachmentSite* X)
{
    if (!X) return kSelectSiteToAttachAt;
    const int portion = S.shapeParameter;
    if (portion == kThreeQuarters || portion == kTwoThirds || portion == kFullCircle)
        return "Circular surfaces can only be combined to produce a full circle, and no more.";
    if (S.surfaceType != kTypeCircular || !X->sideFlag || !X->isFree()) return "Invalid attachment.";
    const DesignResult refusal = AttachIdenticalCircularSurface(document, S, *X);
    if (refusal.ok()) document.SetAllRender(1);
    return refusal;
}

static_assert(kGrowIntermediateHigh == kMaxSections - 4, "a grown surface has m + 4 cross sections");

DesignResult NewChannelButton(COpenGLTemplateDoc& document, SurfaceSection& S, AttachmentSite* X, int intermediate,
                              int directionIndex)
{
    if (auto prompt = CheckInteger(intermediate, kGrowIntermediateLow, kGrowIntermediateHigh); !prompt.ok())
        return prompt;
    if (auto prompt = CheckInteger(directionIndex, kDirectionIndexLow, kDirectionIndexHigh); !prompt.ok())
        return prompt;
    if (!X) return kSelectSiteToAttachAt;
    if (directionIndex > ControlPointsAlongEdge(S, X->edge()))
        return "The index of the cross section which determines the initial channel directions must be less than or "
               "equal to the number of control points along the edge.";
    const DesignResult refusal = GrowSurfaceFromSite(document, S, *X, intermediate, directionIndex - 1);
    if (refusal.ok()) document.SetAllRender(1);
    return refusal;
}

} // namespace design
