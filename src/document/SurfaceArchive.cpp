#include "document/SurfaceArchive.h"

#include "surface/SurfaceSection.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// A name pair of a site, as the record writes it: "none" and zeros for a link
// into another group when the surface is written on its own.
template <std::size_t N>
void writeLinkedName(ArchiveWriter& archive, const char (&name)[N], bool keep)
{
    if (keep) {
        archive.writeFixed(name);
        return;
    }
    char none[N];
    setText(none, "none");
    archive.writeFixed(none);
}

// Byte-wise comparison of two names up to their terminators.
template <std::size_t N>
bool sameText(const char (&a)[N], const char (&b)[N])
{
    return std::strncmp(a, b, N) == 0;
}

void writeSite(ArchiveWriter& a, const AttachmentSite& site, const SurfaceSection& owner, bool wholeDocument)
{
    const bool keepOther = wholeDocument || sameText(site.otherSurfaceGroupName, owner.groupName);
    const bool keepPseudo = wholeDocument || sameText(site.pseudoSurfaceGroupName, owner.groupName);
    a.writeFixed(site.name);
    a.writeDouble(site.low);
    a.writeDouble(site.high);
    writeLinkedName(a, site.otherSurfaceName, keepOther);
    writeLinkedName(a, site.otherSurfaceGroupName, keepOther);
    a.writeBool(site.reversed != 0);
    a.writeBool(site.sideFlag != 0);
    a.writeBool(site.firstFlag != 0);
    a.writeDouble(site.attachedLow);
    a.writeDouble(site.attachedHigh);
    a.writeBool(site.partnerSideFlag != 0);
    a.writeBool(site.partnerFirstFlag != 0);
    a.writeDouble(site.partnerAttachedLow);
    a.writeDouble(site.partnerAttachedHigh);
    writeLinkedName(a, site.pseudoSurfaceName, keepPseudo);
    writeLinkedName(a, site.pseudoSurfaceGroupName, keepPseudo);
}

void readSite(ArchiveReader& a, AttachmentSite& site)
{
    a.readFixed(site.name);
    site.low = a.readDouble();
    site.high = a.readDouble();
    a.readFixed(site.otherSurfaceName);
    a.readFixed(site.otherSurfaceGroupName);
    site.reversed = a.readBool() ? 1 : 0;
    site.sideFlag = a.readBool() ? 1 : 0;
    site.firstFlag = a.readBool() ? 1 : 0;
    site.attachedLow = a.readDouble();
    site.attachedHigh = a.readDouble();
    site.partnerSideFlag = a.readBool() ? 1 : 0;
    site.partnerFirstFlag = a.readBool() ? 1 : 0;
    site.partnerAttachedLow = a.readDouble();
    site.partnerAttachedHigh = a.readDouble();
    a.readFixed(site.pseudoSurfaceName);
    a.readFixed(site.pseudoSurfaceGroupName);
    site.otherSurface = nullptr;
    site.pseudoSurface = nullptr;
}

void writeSection(ArchiveWriter& a, const CrossSection& s, int points)
{
    a.writeVec3(s.position);
    a.writeVec3(s.direction);
    a.writeVec3(s.up);
    a.writeVec3(s.toNext);
    a.writeVec3(s.fromPrevious);
    a.writeDouble(s.scale);
    a.writeInt32(s.pointCount);
    a.writeFixed(s.shapeName);
    for (int j = 0; j < points; ++j) a.writeVec3(s.points[j]);
}

void readSection(ArchiveReader& a, CrossSection& s, int points)
{
    s.position = a.readVec3();
    s.direction = a.readVec3();
    s.up = a.readVec3();
    s.toNext = a.readVec3();
    s.fromPrevious = a.readVec3();
    s.scale = a.readDouble();
    s.pointCount = a.readInt32();
    a.readFixed(s.shapeName);
    for (int j = 0; j < points; ++j) s.points[j] = a.readVec3();
}

// Type A parameters, placement and shape parameters (fields 4 to 30).
void writeDesign(ArchiveWriter& a, const SurfaceSection& s)
{
    a.writeBool(s.scaleChange);
    a.writeBool(s.horizontalDisplacement.perform);
    a.writeDouble(s.horizontalDisplacement.distance);
    a.writeBool(s.horizontalDisplacement.displaceLeft);
    a.writeBool(s.verticalDisplacement.perform);
    a.writeDouble(s.verticalDisplacement.distance);
    a.writeBool(s.verticalDisplacement.displaceDown);
    a.writeBool(s.axisRotation.perform);
    a.writeBool(s.axisRotation.clockwise);
    a.writeDouble(s.axisRotation.angle);
    a.writeDouble(s.scaleFrom);
    a.writeDouble(s.scaleTo);
    a.writeBool(s.horizontalTurn.perform);
    a.writeDouble(s.horizontalTurn.angle);
    a.writeBool(s.horizontalTurn.left);
    a.writeBool(s.verticalTurn.perform);
    a.writeDouble(s.verticalTurn.angle);
    a.writeBool(s.verticalTurn.down);
    a.writeVec3(s.finalPosition);
    a.writeVec3(s.finalDirection);
    a.writeVec3(s.finalUp);
    a.writeVec3(s.initialPosition);
    a.writeVec3(s.initialDirection);
    a.writeVec3(s.initialUp);
    a.writeInt32(s.shapeParameter);
    a.writeDouble(s.shapeValue1);
    a.writeDouble(s.shapeValue2);
}

void readDesign(ArchiveReader& a, SurfaceSection& s)
{
    s.scaleChange = a.readBool();
    s.horizontalDisplacement.perform = a.readBool();
    s.horizontalDisplacement.distance = a.readDouble();
    s.horizontalDisplacement.displaceLeft = a.readBool();
    s.verticalDisplacement.perform = a.readBool();
    s.verticalDisplacement.distance = a.readDouble();
    s.verticalDisplacement.displaceDown = a.readBool();
    s.axisRotation.perform = a.readBool();
    s.axisRotation.clockwise = a.readBool();
    s.axisRotation.angle = a.readDouble();
    s.scaleFrom = a.readDouble();
    s.scaleTo = a.readDouble();
    s.horizontalTurn.perform = a.readBool();
    s.horizontalTurn.angle = a.readDouble();
    s.horizontalTurn.left = a.readBool();
    s.verticalTurn.perform = a.readBool();
    s.verticalTurn.angle = a.readDouble();
    s.verticalTurn.down = a.readBool();
    s.finalPosition = a.readVec3();
    s.finalDirection = a.readVec3();
    s.finalUp = a.readVec3();
    s.initialPosition = a.readVec3();
    s.initialDirection = a.readVec3();
    s.initialUp = a.readVec3();
    s.shapeParameter = a.readInt32();
    s.shapeValue1 = a.readDouble();
    s.shapeValue2 = a.readDouble();
}

// Sampling and display settings after the sections (fields 35 to 63).
void writeSettings(ArchiveWriter& a, const SurfaceSection& s)
{
    for (std::int32_t v : {static_cast<std::int32_t>(s.samplingMode), s.flipDiagonals, s.subdivisionsU, s.subdivisionsV, s.lengthSamplesU,
                           s.lengthSamplesV, s.fixedSamplesU, s.fixedSamplesV})
        a.writeInt32(v);
    a.writeBool(s.editingSections);
    a.writeBool(s.editingShape);
    for (std::int32_t v : {s.render.load(), s.showDirections, s.closeControlStrips, static_cast<std::int32_t>(s.coloring),
                           s.showIntersectionMesh, s.showControlLines, s.showSurfaceLines, s.showSurfaceTriangles,
                           s.showControlTriangles, s.showAttachmentSites, s.showHoles, s.showName})
        a.writeInt32(v);
    a.writeBool(s.reverseNormal);
    a.writeBool(s.wrapU);
    a.writeBool(s.wrapV);
    a.writeBool(s.uLineEnabled);
    a.writeBool(s.vLineEnabled);
    a.writeDouble(s.uLine);
    a.writeDouble(s.vLine);
}

void readSettings(ArchiveReader& a, SurfaceSection& s)
{
    s.samplingMode = static_cast<SamplingMode>(a.readInt32InRange("sampling mode", 0, 2));
    for (std::int32_t* v : {&s.flipDiagonals, &s.subdivisionsU, &s.subdivisionsV, &s.lengthSamplesU,
                            &s.lengthSamplesV, &s.fixedSamplesU, &s.fixedSamplesV})
        *v = a.readInt32();
    s.editingSections = a.readBool();
    s.editingShape = a.readBool();
    s.render = a.readInt32();
    s.showDirections = a.readInt32();
    s.closeControlStrips = a.readInt32();
    s.coloring = static_cast<Coloring>(a.readInt32InRange("coloring", 0, 3));
    for (std::int32_t* v : {&s.showIntersectionMesh, &s.showControlLines, &s.showSurfaceLines,
                            &s.showSurfaceTriangles, &s.showControlTriangles, &s.showAttachmentSites, &s.showHoles,
                            &s.showName})
        *v = a.readInt32();
    s.reverseNormal = a.readBool();
    s.wrapU = a.readBool();
    s.wrapV = a.readBool();
    s.uLineEnabled = a.readBool();
    s.vLineEnabled = a.readBool();
    s.uLine = a.readDouble();
    s.vLine = a.readDouble();
}

} // namespace

void WriteSurfaceRecord(ArchiveWriter& a, const SurfaceSection& s)
{
    const bool wholeDocument = s.document && s.document->savingWholeDocument();
    a.writeFixed(s.name);
    a.writeFixed(s.groupName);
    a.writeInt32(s.surfaceType);
    writeDesign(a, s);
    const int points = std::clamp(s.pointsPerSection, 0, kMaxSectionPoints);
    const int sectionTotal = std::clamp(s.sectionCount, 0, kMaxSections);
    a.writeInt32(points);
    a.writeInt32(sectionTotal);
    a.writeInt32(s.intermediateCount);
    for (int i = 0; i < sectionTotal; ++i) writeSection(a, s.sections[i], points);
    writeSettings(a, s);
    a.writeInt32(static_cast<std::int32_t>(s.attachmentSites.size()));
    for (const AttachmentSite& site : s.attachmentSites) writeSite(a, site, s, wholeDocument);
    a.writeInt32(static_cast<std::int32_t>(s.holes.size()));
    for (const SurfaceHole& h : s.holes) {
        a.writeFixed(h.name);
        a.writeDouble(h.rightLeftLow);
        a.writeDouble(h.rightLeftHigh);
        a.writeDouble(h.frontBackLow);
        a.writeDouble(h.frontBackHigh);
    }
}

void ReadSurfaceRecord(ArchiveReader& a, SurfaceSection& s)
{
    a.readFixed(s.name);
    a.readFixed(s.groupName);
    s.surfaceType = a.readInt32InRange("surface type", kTypeA, kTypeUntyped);
    readDesign(a, s);
    const int points = a.readInt32InRange("points per cross section", kMinNetCount, kMaxSectionPoints);
    const int sectionTotal = a.readInt32InRange("cross-section count", kMinNetCount, kMaxSections);
    s.pointsPerSection = points;
    s.sectionCount = sectionTotal;
    s.intermediateCount = a.readInt32InRange("intermediate cross-section count", 0, kMaxSections);
    for (int i = 0; i < sectionTotal; ++i) readSection(a, s.sections[i], points);
    readSettings(a, s);

    const std::int32_t siteCount = a.readCount("site count", INT32_MAX, kSiteRecordBytes);
    s.attachmentSites.reserve(s.attachmentSites.size() + static_cast<std::size_t>(siteCount));
    for (std::int32_t k = 0; k < siteCount; ++k) {
        AttachmentSite site;
        readSite(a, site);
        s.attachmentSites.push_back(site);
    }
    const std::int32_t holeCount = a.readCount("hole count", INT32_MAX, kHoleRecordBytes);
    s.holes.reserve(s.holes.size() + static_cast<std::size_t>(holeCount));
    for (std::int32_t k = 0; k < holeCount; ++k) {
        SurfaceHole h;
        a.readFixed(h.name);
        h.rightLeftLow = a.readDouble();
        h.rightLeftHigh = a.readDouble();
        h.frontBackLow = a.readDouble();
        h.frontBackHigh = a.readDouble();
        s.holes.push_back(h);
    }
}

void WriteSurfaceObject(ArchiveWriter& archive, const SurfaceSection& surface)
{
    archive.writeObjectTag(kSurfaceClassName, kSurfaceSchema);
    WriteSurfaceRecord(archive, surface);
}

std::unique_ptr<SurfaceSection> ReadSurfaceObject(ArchiveReader& archive, SurfaceHost* host)
{
    archive.readObjectTag(kSurfaceClassName, kSurfaceSchema);
    auto surface = std::make_unique<SurfaceSection>(host);
    ReadSurfaceRecord(archive, *surface);
    surface->render = 0;
    return surface;
}
