#include "surface/SurfaceSection.h"

#include "geometry/Matrix4.h"
#include "gul/Basis.h"
#include "surface/SurfaceKernel.h"

#include <algorithm>
#include <cstdio>

void SurfaceSection::SizeNet(int points, int pDegreeU, int sectionTotal, int pDegreeV)
{
    LockGuard guard(KernelLockOf(document));
    pointsPerSection = points;
    sectionCount = sectionTotal;
    // A spline of degree p needs p + 1 control points: a direction with fewer
    // points (a two-point cross section) gets the highest degree it can carry.
    degreeU = std::clamp(pDegreeU, 1, std::max(points - 1, 1));
    degreeV = std::clamp(pDegreeV, 1, std::max(sectionTotal - 1, 1));
    knotsU = gul::UniformKnots(points - 1, degreeU);
    knotsV = gul::UniformKnots(sectionTotal - 1, degreeV);
    knotsAllocated = true;
    controlNet = gul::makeArray2<gul::HPoint4f>(sectionTotal, points);
    netAllocated = true;
    if (!skipWorkspace) derivativeWorkspace = gul::makeArray2<gul::Point3f>(derivativeOrder + 1, derivativeOrder + 1);
}

void SurfaceSection::SizeForType(int type)
{
    switch (type) {
    case kTypeA:
    case kTypeB:
    case kTypeC:
    case kTypeAttached: sectionCount = intermediateCount + 4; break;
    case kTypeSweep: sectionCount = intermediateCount + 2; break;
    case kTypeCircular: sectionCount = intermediateCount; break;
    default: SizeNet(pointsPerSection, DocumentDegreeU(), sectionCount, DocumentDegreeV()); return;
    }
    pointsPerSection = requestedPointsPerSection;
    SizeNet(pointsPerSection, DocumentDegreeU(), sectionCount, DocumentDegreeV());
}

int SurfaceSection::DocumentDegreeU() const { return document ? document->splineDegreeU() : 2; }
int SurfaceSection::DocumentDegreeV() const { return document ? document->splineDegreeV() : 2; }

Vec3 SurfaceSection::SectionPointToWorld(int i, int j) const
{
    const CrossSection& s = sections[i];
    const Vec3 U = normalized(s.up);
    const Vec3 R = normalized(cross(s.direction, U));
    const Vec3& pt = s.points[j];
    Vec3 X = s.position + (pt.y * s.scale) * U + (pt.x * s.scale) * R;
    if (surfaceType == kTypeCircular || (surfaceType == kTypeAttached && i < 2))
        X += (pt.z * s.scale) * normalized(s.direction);
    return X;
}

void SurfaceSection::BuildNet()
{
    LockGuard guard(KernelLockOf(document));
    const int rows = std::min(sectionCount, kMaxSections);
    for (int i = 0; i < rows; ++i) {
        gul::Ptr<gul::HPoint4f>& row = controlNet[i];
        // The net row has pointsPerSection slots, whatever count a section claims.
        const int count = std::clamp(sections[i].pointCount, 0, std::min(pointsPerSection, kMaxSectionPoints));
        for (int j = 0; j < count; ++j) {
            const Vec3 X = SectionPointToWorld(i, j);
            row[j] = {static_cast<float>(X.x), static_cast<float>(X.y), static_cast<float>(X.z), 1.0f};
        }
    }
}

void SurfaceSection::RebuildFromSections()
{
    BuildNet();
    ComputeSectionVectors();
    CopyEndFrames();
    ComputeHeightRange();
    Rebuild();
    drawingCache.markStale();
}

void SurfaceSection::ComputeSectionVectors()
{
    const int C = std::min(sectionCount, kMaxSections);
    for (int i = 0; i < C; ++i) {
        CrossSection& s = sections[i];
        const Vec3 B = i > 0 ? s.position - sections[i - 1].position : Vec3{};
        const Vec3 F = i < C - 1 ? sections[i + 1].position - s.position : Vec3{};
        s.toNext = F;
        s.distanceToNext = length(F);
        s.fromPrevious = B;
    }
}

void SurfaceSection::CopyEndFrames()
{
    if (sectionCount <= 0) return;
    const CrossSection& first = sections[0];
    const CrossSection& last = sections[std::min(sectionCount, kMaxSections) - 1];
    initialPosition = first.position;
    initialDirection = first.direction;
    initialUp = first.up;
    finalPosition = last.position;
    finalDirection = last.direction;
    finalUp = last.up;
}

void SurfaceSection::ComputeHeightRange()
{
    heightMax = -99999.0;
    heightMin = 99999.0;
    LockGuard guard(KernelLockOf(document));
    if (netAllocated) {
        for (int i = 0; i < std::min(sectionCount, controlNet.nElems()); ++i) {
            const gul::Ptr<gul::HPoint4f>& row = controlNet[i];
            for (int j = 0; j < std::min(pointsPerSection, row.nElems()); ++j) {
                const double y = row[j].y;
                heightMax = std::max(heightMax, y);
                heightMin = std::min(heightMin, y);
            }
        }
    }
    heightRange = heightMax - heightMin;
}

void SurfaceSection::FlatShape(int sectionIndex)
{
    CrossSection& s = sections[sectionIndex];
    const int n = std::clamp(pointsPerSection, 1, kMaxSectionPoints);
    s.pointCount = n;
    const double half = (n - 1) / 2.0;
    if (n >= 4) {
        // A floor of width n - 1 with two walls of height 2.
        s.points[0].x = -half;
        s.points[0].y = 2.0;
        s.points[1].x = -half;
        s.points[1].y = 0.0;
        const double step = (n - 1.0) / (n - 3.0);
        for (int k = 2; k < n - 1; ++k) {
            s.points[k].x = -half + (k - 1) * step;
            s.points[k].y = 0.0;
        }
        s.points[n - 1].x = half;
        s.points[n - 1].y = 2.0;
    } else if (n == 3) {
        // Too few points for two walls: a shallow V, low in the middle.
        s.points[0] = {-1.0, 0.5, s.points[0].z};
        s.points[1] = {0.0, 0.0, s.points[1].z};
        s.points[2] = {1.0, 0.5, s.points[2].z};
    } else {
        // A plain floor of width n - 1 (a single point sits at the origin).
        for (int k = 0; k < n; ++k) {
            s.points[k].x = -half + k;
            s.points[k].y = 0.0;
        }
    }
    RecentreSection(s);
}

void SurfaceSection::RecentreSection(CrossSection& s)
{
    const int count = std::clamp(s.pointCount, 0, kMaxSectionPoints);
    if (count == 0) return;
    Vec3 c;
    for (int k = 0; k < count; ++k) c += s.points[k];
    c /= count;
    for (int k = 0; k < count; ++k) s.points[k] -= c;
    const Vec3 U = normalized(s.up);
    const Vec3 R = normalized(cross(s.direction, U));
    s.position += (s.scale * c.x) * R + (s.scale * c.y) * U;
}

void SurfaceSection::SectionsFromNet(int column, const Vec3& D, const Vec3& U)
{
    const Vec3 R = normalized(cross(D, U));
    LockGuard guard(KernelLockOf(document));
    const int rows = std::min(sectionCount, kMaxSections);
    const int points = std::clamp(pointsPerSection, 0, kMaxSectionPoints);
    for (int i = 0; i < rows; ++i) {
        CrossSection& s = sections[i];
        const gul::Ptr<gul::HPoint4f>& row = controlNet[i];
        Vec3 O;
        if (surfaceType == kTypeAttached) {
            const gul::HPoint4f& o = row[column];
            O = {o.x, o.y, o.z};
            s.position = O;
        } else if (surfaceType == kTypeCircular) {
            O = s.position;
        }
        s.direction = D;
        s.up = U;
        s.scale = 1.0;
        char text[kShortNameSize];
        std::snprintf(text, sizeof text, "%d", i);
        setText(s.shapeName, text);
        s.pointCount = points;
        const bool keepsDepth = i <= 1 || surfaceType == kTypeCircular;
        for (int j = 0; j < points; ++j) {
            const gul::HPoint4f& p = row[j];
            const Vec3 d = Vec3{p.x, p.y, p.z} - O;
            s.points[j].x = dot(d, R);
            s.points[j].y = dot(d, U);
            if (keepsDepth) s.points[j].z = dot(d, D);
        }
    }
}

void MoveSurfaceTree(SurfaceSection* surface, SurfaceSection* cameFrom, std::set<SurfaceSection*>& visited,
                     const Vec3& translation, const Vec3& centre, const Vec3& axis1, double theta1,
                     const Vec3& axis2, double theta2, bool toggleDiagonals)
{
    if (!surface || visited.count(surface)) return;
    surface->render = 0;
    const int C = std::min(surface->sectionCount, kMaxSections);
    for (int i = 0; i < C; ++i) {
        CrossSection& s = surface->sections[i];
        const std::pair<const Vec3*, double> turns[2] = {{&axis1, theta1}, {&axis2, theta2}};
        for (const auto& [axis, theta] : turns) {
            if (theta == 0.0) continue;
            s.direction = rotateVector(s.direction, *axis, theta);
            s.up = rotateVector(s.up, *axis, theta);
            s.toNext = rotateVector(s.toNext, *axis, theta);
            rotatePointAboutLine(centre, *axis, theta, s.position);
        }
        s.position += translation;
    }
    if (toggleDiagonals) surface->flipDiagonals = !surface->flipDiagonals;
    surface->RebuildFromSections();
    visited.insert(surface);
    for (const AttachmentSite& site : surface->attachmentSites) {
        SurfaceSection* other = site.otherSurface;
        if (other && other != cameFrom && !visited.count(other))
            MoveSurfaceTree(other, surface, visited, translation, centre, axis1, theta1, axis2, theta2,
                            toggleDiagonals);
    }
}
