#include "design/CircularSurface.h"

#include "document/OpenGLTemplateDoc.h"
#include "geometry/Matrix4.h"
#include "gul/Error.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace design {

namespace {

struct PortionRow {
    double degrees;
    int suggested;
};
constexpr PortionRow kPortions[kPortionCount] = {{90.0, 3}, {180.0, 4}, {270.0, 5}, {120.0, 4}, {240.0, 5}, {360.0, 7}};

// Directions (angles about the up axis, negative: clockwise seen from above)
// of the control points, and the angle of the tangent line each point lies on
// (the previous point lies on it too).
struct ArcAngles {
    std::vector<double> direction;
    std::vector<double> touching;
};

ArcAngles arcAngles(int portion, int n)
{
    const double A = -PortionAngleDegrees(portion) / 360.0 * kTwoPi;
    ArcAngles a;
    a.direction.resize(n);
    a.touching.resize(n);
    if (portion == kFullCircle) {
        // Even points touch the circle, odd ones are the corners between them.
        const double s = A / (n - 1);
        for (int k = 0; k < n; ++k) {
            a.direction[k] = k * s;
            a.touching[k] = (k % 2) ? (k - 1) * s : k * s;
        }
        return a;
    }
    // Half steps at both ends, whole steps between; n = 3 has one whole step.
    const double s = A / (n - 2);
    a.direction[0] = 0.0;
    a.touching[0] = 0.0;
    for (int k = 1; k < n - 1; ++k) {
        a.direction[k] = (k - 0.5) * s;
        a.touching[k] = (k - 1) * s;
    }
    a.direction[n - 1] = A;
    a.touching[n - 1] = A;
    return a;
}

} // namespace

double PortionAngleDegrees(int portion) { return kPortions[std::clamp(portion, 0, kPortionCount - 1)].degrees; }

int SuggestedPointsForPortion(int portion) { return kPortions[std::clamp(portion, 0, kPortionCount - 1)].suggested; }

void CircularFields::choosePortion(int index)
{
    portion = std::clamp(index, 0, kPortionCount - 1);
    points = SuggestedPointsForPortion(portion);
}

DesignResult CheckPortionPoints(int portion, int points)
{
    switch (portion) {
    case kQuarter: return points < 3 ? kQuarterNeedsPoints : "";
    case kHalf: return points < 4 ? kHalfNeedsPoints : "";
    case kThreeQuarters: return points < 5 ? kThreeQuartersNeedsPoints : "";
    case kThird: return points < 3 ? kThirdNeedsPoints : "";
    case kTwoThirds: return points < 5 ? kTwoThirdsNeedsPoints : "";
    default: return (points == 7 || points == 9 || points == 11) ? "" : kFullCircleNeedsPoints;
    }
}

DesignResult CreateCircularFromFields(COpenGLTemplateDoc& document, const CircularFields& f)
{
    const DesignResult fieldChecks[] = {
        CheckInteger(f.portion, 0, kPortionCount - 1), CheckInteger(f.points, kCircularPointsLow, kCircularPointsHigh),
        CheckInteger(f.sections, kCircularSectionsLow, kCircularSectionsHigh),
        CheckNumber(f.inner, kInnerRadiusLow, kInnerRadiusHigh),
        CheckNumber(f.outer, kOuterRadiusLow, kOuterRadiusHigh),
        f.name.size() > static_cast<std::size_t>(kMaxSurfaceNameLength) ? TextLengthPrompt(kMaxSurfaceNameLength)
                                                                        : std::string()};
    for (const DesignResult& prompt : fieldChecks)
        if (!prompt.ok()) return prompt;
    if (auto m = CheckNewSurfaceName(document, f.name); !m.ok()) return m;
    if (auto m = CheckPortionPoints(f.portion, f.points); !m.ok()) return m;
    if (!(f.outer > f.inner)) return DesignResult::refuse(kOuterRadiusTooSmall);
    SurfaceSection* s = CreateCircularSurface(document, f.name, f.portion, f.points, f.sections, f.inner, f.outer);
    if (!s) return DesignResult::refuse(kSurfaceNotBuilt);
    return DesignResult::done(s);
}

SurfaceSection* CreateCircularSurface(COpenGLTemplateDoc& document, std::string_view name, int portion, int n, int m,
                                      double r0, double r1)
{
    if (portion < 0 || portion >= kPortionCount || n > kMaxSectionPoints || !CheckPortionPoints(portion, n).ok() ||
        m < 2 || m > kMaxSections)
        return nullptr;
    document.EnsureMainGroup();
    auto surface = std::make_unique<SurfaceSection>(&document);
    SurfaceSection& s = *surface;
    setText(s.name, std::string(name));
    setText(s.groupName, "none");
    s.group = document.currentGroup;
    s.surfaceType = kTypeCircular;
    s.shapeParameter = portion;
    s.requestedPointsPerSection = n;
    s.intermediateCount = m;
    s.shapeValue1 = r0;
    s.shapeValue2 = r1;
    s.samplingMode = SamplingMode::PerSpan;
    s.flipDiagonals = 0;
    s.reverseNormal = s.wrapV = s.uLineEnabled = s.vLineEnabled = false;
    s.wrapU = portion == kFullCircle;

    const Vec3 up = COpenGLTemplateDoc::upVector;
    const Vec3 base{1.0, 0.0, 0.0};
    const ArcAngles angles = arcAngles(portion, n);
    const double total = -PortionAngleDegrees(portion) / 360.0 * kTwoPi;
    const Vec3 middle = rotateVector(base, up, total / 2.0);
    try {
        s.SizeForType(kTypeCircular);
        {
            LockGuard guard(document.geometryLock);
            for (int k = 0; k < m; ++k) {
                const double r = r0 + k * (r1 - r0) / (m - 1);
                for (int j = 0; j < n; ++j) {
                    // On the ray of its direction and on the tangent line at its touching angle.
                    const double reach = r / std::cos(angles.direction[j] - angles.touching[j]);
                    const Vec3 X = reach * rotateVector(base, up, angles.direction[j]);
                    s.controlNet[k][j] = {static_cast<float>(X.x), static_cast<float>(X.y), static_cast<float>(X.z),
                                          1.0f};
                }
            }
        }
        for (int k = 0; k < m; ++k) {
            CrossSection& c = s.sections[k];
            c.position = COpenGLTemplateDoc::zeroVector;
            c.direction = middle;
            c.up = up;
            c.scale = 1.0;
        }
        s.SectionsFromNet(n / 2, middle, up);
        s.RebuildFromSections();
    } catch (const gul::Error&) {
        return nullptr;
    }
    return FinishCreatedSurface(document, std::move(surface));
}

} // namespace design
