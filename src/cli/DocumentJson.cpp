#include "cli/DocumentJson.h"

#include "cli/NameText.h"
#include "document/OpenGLTemplateDoc.h"

#include <algorithm>

namespace cli {

using Json = nlohmann::ordered_json;

namespace {

Json vec(const Vec3& v) { return Json::array({v.x, v.y, v.z}); }

Json memberNames(const SurfaceGroup& group)
{
    Json names = Json::array();
    for (const std::string& name : group.memberNames) names.push_back(NameToUtf8(name));
    return names;
}

Json settingsOf(const DocumentSettings& s)
{
    Json j;
    j["movieFrameCount"] = s.movieFrameCount;
    j["imageWidth"] = s.imageWidth;
    j["imageHeight"] = s.imageHeight;
    j["anaglyphStereo"] = s.anaglyphStereo;
    j["anaglyphColors"] = s.anaglyphColors;
    j["showFocalPoint"] = s.showFocalPoint;
    j["showBall"] = s.showBall;
    j["showBallPathPast"] = s.showBallPathPast;
    j["showBallPathFuture"] = s.showBallPathFuture;
    j["showRollingVectors"] = s.showRollingVectors;
    j["showBounceVectors"] = s.showBounceVectors;
    j["showImpactVectors"] = s.showImpactVectors;
    j["showImpactIntersections"] = s.showImpactIntersections;
    j["showNavigationGuides"] = s.showNavigationGuides;
    j["showLinearDisplacement"] = s.showLinearDisplacement;
    j["showBoundingBoxes"] = s.showBoundingBoxes;
    j["showAllBoundingBoxes"] = s.showAllBoundingBoxes;
    j["showCameraFuture"] = s.showCameraFuture;
    j["showCameraPathPast"] = s.showCameraPathPast;
    j["showCameraPresent"] = s.showCameraPresent;
    j["navigation"] = s.navigation;
    j["pauseEachFrame"] = s.pauseEachFrame;
    j["pauseOnBounce"] = s.pauseOnBounce;
    j["pauseOnAir"] = s.pauseOnAir;
    j["bounceEnabled"] = s.bounceEnabled;
    j["preventSameSurfaceImpact"] = s.preventSameSurfaceImpact;
    j["cameraFollowsBall"] = s.cameraFollowsBall;
    j["followDistance"] = s.followDistance;
    j["focalU"] = s.focalU;
    j["focalV"] = s.focalV;
    j["focalPoint"] = vec(s.focalPoint);
    j["cameraDistance"] = s.cameraDistance;
    j["launchSpeed"] = s.launchSpeed;
    j["launchDirection"] = vec(s.launchDirection);
    j["ballRadius"] = s.ballRadius;
    j["ballStartSurfaceName"] = nameText(s.ballStartSurfaceName);
    j["ballStartGroupName"] = nameText(s.ballStartGroupName);
    j["ballStartU"] = s.ballStartU;
    j["ballStartV"] = s.ballStartV;
    return j;
}

Json linkOf(const SurfaceSection* other)
{
    if (!other) return nullptr;
    return Json{{"surface", nameText(other->name)}, {"group", nameText(other->groupName)}};
}

// Each cross section: where it stands, its scale and its shape's points.
Json sectionsOf(const SurfaceSection& s)
{
    Json sections = Json::array();
    for (int i = 0; i < std::clamp(s.sectionCount, 0, kMaxSections); ++i) {
        const CrossSection& c = s.sections[static_cast<std::size_t>(i)];
        Json points = Json::array();
        for (int k = 0; k < std::clamp(c.pointCount, 0, kMaxSectionPoints); ++k)
            points.push_back({c.points[k].x, c.points[k].y});
        sections.push_back({{"position", vec(c.position)},
                            {"direction", vec(c.direction)},
                            {"up", vec(c.up)},
                            {"scale", c.scale},
                            {"shape", nameText(c.shapeName)},
                            {"points", std::move(points)}});
    }
    return sections;
}

Json surfaceOf(const SurfaceSection& s)
{
    Json j;
    j["name"] = nameText(s.name);
    j["group"] = nameText(s.groupName);
    j["type"] = s.surfaceType;
    j["pointsPerSection"] = s.pointsPerSection;
    j["sectionCount"] = s.sectionCount;
    j["intermediateCount"] = s.intermediateCount;
    j["heightMin"] = s.heightMin;
    j["heightMax"] = s.heightMax;
    if (s.boxTree) {
        const BoxRecord& b = s.boxTree->tight;
        j["bounds"] = {{"min", vec({b.xMin, b.yMin, b.zMin})}, {"max", vec({b.xMax, b.yMax, b.zMax})}};
    } else {
        j["bounds"] = nullptr;
    }
    j["displayMesh"] = {s.displayColumns, s.displayRows};
    j["collisionMesh"] = {s.collisionColumns, s.collisionRows};
    j["boxTreeDepth"] = s.boxTreeDepth;
    j["wrapU"] = s.wrapU;
    j["wrapV"] = s.wrapV;
    j["reverseNormal"] = s.reverseNormal;
    Json sites = Json::array();
    for (const AttachmentSite& site : s.attachmentSites) {
        sites.push_back({{"name", nameText(site.name)},
                         {"edge", edgeName(site.edge())},
                         {"low", site.low},
                         {"high", site.high},
                         {"linked", linkOf(site.otherSurface)},
                         {"reversed", site.reversed != 0}});
    }
    j["sites"] = std::move(sites);
    Json holes = Json::array();
    for (const SurfaceHole& h : s.holes) {
        holes.push_back({{"name", nameText(h.name)},
                         {"u", {h.rightLeftLow, h.rightLeftHigh}},
                         {"v", {h.frontBackLow, h.frontBackHigh}}});
    }
    j["holes"] = std::move(holes);
    j["sections"] = sectionsOf(s);
    return j;
}

} // namespace

Json DocumentInfo(COpenGLTemplateDoc& document)
{
    LockGuard guard(document.documentLock);
    Json j;
    j["settings"] = settingsOf(document);
    const SurfaceSection* start = document.ballStartSurface;
    j["ballStart"] = {{"surface", start ? Json(nameText(start->name)) : Json(nullptr)},
                      {"group", start ? Json(nameText(start->groupName)) : Json(nullptr)},
                      {"u", document.ballStartU},
                      {"v", document.ballStartV}};
    Json groups = Json::array();
    for (const auto& g : document.groups) groups.push_back({{"name", nameText(g->name)}, {"members", memberNames(*g)}});
    j["groups"] = std::move(groups);
    Json surfaces = Json::array();
    for (const auto& s : document.surfaces) surfaces.push_back(surfaceOf(*s));
    j["surfaces"] = std::move(surfaces);
    return j;
}

Json SurfaceEvaluation(SurfaceSection& surface, double u, double v)
{
    const Vec3 point = surface.EvaluatePoint(u, v);
    const SurfaceDerivatives d = surface.EvaluateDerivatives(u, v);
    Json j;
    j["point"] = vec(point);
    j["Su"] = vec(d.Su);
    j["Sv"] = vec(d.Sv);
    j["normal"] = vec(d.N);
    j["Suu"] = vec(d.Suu);
    j["Suv"] = vec(d.Suv);
    j["Svv"] = vec(d.Svv);
    j["curvature"] = d.K;
    j["tangentAngle"] = TangentAngle(d.N);
    return j;
}

} // namespace cli
