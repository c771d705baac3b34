#include "document/DocumentFile.h"

#include "document/SurfaceArchive.h"
#include "surface/SurfaceSection.h"

#include <cstdint>

namespace {

// A group takes at least its one-byte name prefix and its member count.
constexpr std::size_t kMinGroupBytes = 1 + 4;
// A member name takes at least its one-byte prefix.
constexpr std::size_t kMinMemberBytes = 1;

void writeSettings(ArchiveWriter& a, const DocumentSettings& s)
{
    a.writeInt32(s.movieFrameCount);
    a.writeInt32(s.imageWidth);
    a.writeInt32(s.imageHeight);
    a.writeBool(s.anaglyphStereo);
    a.writeInt32(s.anaglyphColors);
    for (bool b : {s.showFocalPoint, s.showBall, s.showBallPathPast, s.showBallPathFuture, s.showRollingVectors,
                   s.showBounceVectors, s.showImpactVectors, s.showImpactIntersections, s.showNavigationGuides,
                   s.showLinearDisplacement, s.showBoundingBoxes, s.showAllBoundingBoxes, s.showCameraFuture,
                   s.showCameraPathPast, s.showCameraPresent, s.navigation, s.pauseEachFrame, s.pauseOnBounce,
                   s.pauseOnAir, s.bounceEnabled, s.preventSameSurfaceImpact, s.cameraFollowsBall})
        a.writeBool(b);
    a.writeDouble(s.followDistance);
    a.writeDouble(s.focalU);
    a.writeDouble(s.focalV);
    a.writeVec3(s.focalPoint);
    a.writeDouble(s.cameraDistance);
    a.writeDouble(s.launchSpeed);
    a.writeVec3(s.launchDirection);
    a.writeDouble(s.ballRadius);
}

void readSettings(ArchiveReader& a, DocumentSettings& s)
{
    s.movieFrameCount = a.readInt32();
    s.imageWidth = a.readInt32();
    s.imageHeight = a.readInt32();
    s.anaglyphStereo = a.readBool();
    s.anaglyphColors = a.readInt32();
    for (bool* b : {&s.showFocalPoint, &s.showBall, &s.showBallPathPast, &s.showBallPathFuture,
                    &s.showRollingVectors, &s.showBounceVectors, &s.showImpactVectors, &s.showImpactIntersections,
                    &s.showNavigationGuides, &s.showLinearDisplacement, &s.showBoundingBoxes,
                    &s.showAllBoundingBoxes, &s.showCameraFuture, &s.showCameraPathPast, &s.showCameraPresent,
                    &s.navigation, &s.pauseEachFrame, &s.pauseOnBounce, &s.pauseOnAir, &s.bounceEnabled,
                    &s.preventSameSurfaceImpact, &s.cameraFollowsBall})
        *b = a.readBool();
    s.followDistance = a.readDouble();
    s.focalU = a.readDouble();
    s.focalV = a.readDouble();
    s.focalPoint = a.readVec3();
    s.cameraDistance = a.readDouble();
    s.launchSpeed = a.readDouble();
    s.launchDirection = a.readVec3();
    s.ballRadius = a.readDoubleInRange("the ball radius", kSmallestBallRadius, kLargestBallRadius);
}

void readGroups(ArchiveReader& a, GroupList& groups)
{
    a.setContext("");
    const std::int32_t count = a.readCount("group count", INT32_MAX, kMinGroupBytes);
    groups.reserve(static_cast<std::size_t>(count));
    for (std::int32_t g = 0; g < count; ++g) {
        a.setContext("group " + std::to_string(g + 1));
        auto group = std::make_unique<SurfaceGroup>();
        const std::string name = a.readString();
        if (name.size() >= kLongNameSize)
            a.fail(ArchiveFailure::BadFormat, "its name has " + std::to_string(name.size()) +
                                                  " characters, at most " + std::to_string(kLongNameSize - 1) +
                                                  " fit");
        setText(group->name, name);
        const std::int32_t members = a.readCount("member count", INT32_MAX, kMinMemberBytes);
        group->memberNames.reserve(static_cast<std::size_t>(members));
        for (std::int32_t k = 0; k < members; ++k) group->memberNames.push_back(a.readString());
        groups.push_back(std::move(group));
    }
}

} // namespace

void WriteDocumentRecord(ArchiveWriter& a, const DocumentSettings& settings, const SurfaceList& surfaces,
                         const GroupList& groups)
{
    writeSettings(a, settings);
    a.writeInt32(static_cast<std::int32_t>(surfaces.size()));
    for (const auto& surface : surfaces) WriteSurfaceObject(a, *surface);
    a.writeInt32(static_cast<std::int32_t>(groups.size()));
    for (const auto& group : groups) {
        a.writeString(textOf(group->name));
        a.writeInt32(static_cast<std::int32_t>(group->memberNames.size()));
        for (const std::string& member : group->memberNames) a.writeString(member);
    }
    a.writeFixed(settings.ballStartSurfaceName);
    a.writeFixed(settings.ballStartGroupName);
    a.writeDouble(settings.ballStartU);
    a.writeDouble(settings.ballStartV);
}

DocumentContents ReadDocumentRecord(ArchiveReader& a, SurfaceHost* host)
{
    DocumentContents contents;
    readSettings(a, contents.settings);
    const std::int32_t count = a.readCount("surface count", INT32_MAX, kMinSurfaceRecordBytes + 2);
    contents.surfaces.reserve(static_cast<std::size_t>(count));
    for (std::int32_t k = 0; k < count; ++k) {
        a.setContext("surface " + std::to_string(k + 1));
        contents.surfaces.push_back(ReadSurfaceObject(a, host));
    }
    readGroups(a, contents.groups);
    a.setContext("ball start");
    a.readFixed(contents.settings.ballStartSurfaceName);
    a.readFixed(contents.settings.ballStartGroupName);
    contents.settings.ballStartU = a.readDouble();
    contents.settings.ballStartV = a.readDouble();
    return contents;
}
