#include "design/SweepSurface.h"

#include "document/OpenGLTemplateDoc.h"
#include "geometry/Matrix4.h"
#include "gul/Error.h"

#include <algorithm>
#include <cstring>

namespace design {

namespace {

struct Extent {
    double minX = 99999.0, maxX = -99999.0, minY = 99999.0, maxY = -99999.0;
};

Extent extentOf(const CrossSectionShape& shape)
{
    Extent e;
    for (int k = 0; k < std::clamp(shape.count, 0, kMaxSectionPoints); ++k) {
        e.minX = std::min(e.minX, shape.points[k].x);
        e.maxX = std::max(e.maxX, shape.points[k].x);
        e.minY = std::min(e.minY, shape.points[k].y);
        e.maxY = std::max(e.maxY, shape.points[k].y);
    }
    return e;
}

void placeSection(CrossSection& c, const Vec3& position, const Vec3& direction, const Vec3& up,
                  const CrossSectionShape& shape)
{
    c.position = position;
    c.direction = direction;
    c.up = up;
    c.scale = 1.0;
    std::memcpy(c.shapeName, shape.name, kShortNameSize);
    c.pointCount = shape.count;
    for (int k = 0; k < kMaxSectionPoints; ++k) c.points[k] = {shape.points[k].x, shape.points[k].y, 0.0};
}

} // namespace

DesignResult CreateSweepFromFields(COpenGLTemplateDoc& document, const SweepFields& f)
{
    const DesignResult fieldChecks[] = {
        f.name.size() > static_cast<std::size_t>(kMaxSurfaceNameLength) ? TextLengthPrompt(kMaxSurfaceNameLength)
                                                                        : std::string(),
        CheckInteger(f.sections, kSweepFewestSections, kSweepMostSections),
        CheckNumber(f.angle, kSweepSmallestAngle, kSweepLargestAngle), CheckNumber(f.inner, 0.0, kSweepLargestInnerRadius),
        CheckInteger(f.edge, kSweepLeft, kSweepBottom)};
    for (const DesignResult& prompt : fieldChecks)
        if (!prompt.ok()) return prompt;
    if (auto m = CheckNewSurfaceName(document, f.name); !m.ok()) return m;
    if (!f.shape) return DesignResult::refuse(kSelectTemplate);
    SurfaceSection* s = CreateSweepSurface(document, f.angle, f.inner, f.sections, f.edge, *f.shape, f.name);
    if (!s) return DesignResult::refuse(kSurfaceNotBuilt);
    return DesignResult::done(s);
}

SurfaceSection* CreateSweepSurface(COpenGLTemplateDoc& document, double angleDegrees, double r, int sections,
                                   int edge, const CrossSectionShape& shape, std::string_view name)
{
    const int n = sections + 2;
    if (sections < 1 || n > kMaxSections || shape.count < 1 || shape.count > kMaxSectionPoints || edge < 0 || edge > 3)
        return nullptr;
    document.EnsureMainGroup();
    auto surface = std::make_unique<SurfaceSection>(&document);
    SurfaceSection& s = *surface;
    setText(s.name, std::string(name));
    setText(s.groupName, "none");
    s.group = document.currentGroup;
    s.surfaceType = kTypeSweep;
    s.intermediateCount = sections;
    s.requestedPointsPerSection = shape.count;
    s.samplingMode = SamplingMode::PerSpan;
    s.flipDiagonals = 0;
    s.reverseNormal = s.wrapU = s.wrapV = s.uLineEnabled = s.vLineEnabled = false;

    const Extent e = extentOf(shape);
    double step = angleDegrees * kTwoPi / 360.0 / (n - 1);
    if (edge == kSweepRight || edge == kSweepTop) step = -step;
    const bool aboutVertical = edge == kSweepLeft || edge == kSweepRight;
    const Vec3 axis = aboutVertical ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    Vec3 start;
    switch (edge) {
    case kSweepLeft: start = {e.minX - r, 0, 0}; break;
    case kSweepRight: start = {e.maxX + r, 0, 0}; break;
    case kSweepTop: start = {0, -e.maxY - r, 0}; break;
    default: start = {0, r - e.minY, 0}; break;
    }
    const Vec3 d{0, 0, 1}, u{0, 1, 0};
    // Straight unit lead-in, the revolved sections, a straight unit lead-out.
    placeSection(s.sections[0], start - d, d, u, shape);
    placeSection(s.sections[1], start, d, u, shape);
    for (int i = 2; i <= n - 2; ++i) {
        const CrossSection& p = s.sections[i - 1];
        const Vec3 up = aboutVertical ? p.up : rotateVector(p.up, axis, step);
        placeSection(s.sections[i], rotateVector(p.position, axis, step), rotateVector(p.direction, axis, step), up,
                     shape);
    }
    const CrossSection& last = s.sections[n - 2];
    placeSection(s.sections[n - 1], last.position + normalized(last.direction), last.direction, last.up, shape);

    try {
        s.SizeForType(kTypeSweep);
        s.RebuildFromSections();
    } catch (const gul::Error&) {
        return nullptr;
    }
    return FinishCreatedSurface(document, std::move(surface));
}

} // namespace design
