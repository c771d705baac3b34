#include "document/DocumentSnapshot.h"

#include "document/OpenGLTemplateDoc.h"
#include "document/SurfaceArchive.h"

namespace {

bool sameBytes(const SurfaceRecord& a, const SurfaceRecord& b) { return a == b || *a == *b; }

// The record with the same bytes among the previous state's, trying the same
// place in the list first; none when the surface changed.
SurfaceRecord shared(const std::vector<std::uint8_t>& bytes, const DocumentSnapshot* previous, std::size_t index)
{
    if (!previous) return nullptr;
    const auto& records = previous->surfaces;
    if (index < records.size() && *records[index] == bytes) return records[index];
    for (const SurfaceRecord& record : records)
        if (*record == bytes) return record;
    return nullptr;
}

// A surface by its name and group name; links are re-resolved that way.
void writeIdentity(ArchiveWriter& a, const SurfaceSection* surface)
{
    a.writeBool(surface != nullptr);
    if (!surface) return;
    a.writeFixed(surface->name);
    a.writeFixed(surface->groupName);
}

std::vector<std::uint8_t> designBytes(const COpenGLTemplateDoc& doc)
{
    ArchiveWriter a;
    a.writeInt32(static_cast<std::int32_t>(doc.groups.size()));
    for (const auto& group : doc.groups) {
        a.writeFixed(group->name);
        a.writeInt32(static_cast<std::int32_t>(group->memberNames.size()));
        for (const std::string& member : group->memberNames) a.writeString(member);
    }
    a.writeBool(doc.currentGroup != nullptr);
    if (doc.currentGroup) a.writeFixed(doc.currentGroup->name);
    a.writeFixed(doc.ballStartSurfaceName);
    a.writeFixed(doc.ballStartGroupName);
    a.writeDouble(doc.ballStartU);
    a.writeDouble(doc.ballStartV);
    return a.release();
}

std::vector<std::uint8_t> focusBytes(const COpenGLTemplateDoc& doc)
{
    ArchiveWriter a;
    writeIdentity(a, doc.focalSurface);
    a.writeDouble(doc.focalU);
    a.writeDouble(doc.focalV);
    a.writeVec3(doc.focalPoint);
    return a.release();
}

} // namespace

bool DocumentSnapshot::SameDesign(const DocumentSnapshot& other) const
{
    if (surfaces.size() != other.surfaces.size() || design != other.design) return false;
    for (std::size_t k = 0; k < surfaces.size(); ++k)
        if (!sameBytes(surfaces[k], other.surfaces[k])) return false;
    return true;
}

DocumentSnapshot TakeSnapshot(COpenGLTemplateDoc& doc, const DocumentSnapshot* previous)
{
    DocumentSnapshot snapshot;
    LockGuard guard(doc.documentLock);
    // Site links are kept as they stand, as in a whole-document save.
    const bool wasSaving = doc.savingDocument.exchange(true);
    snapshot.surfaces.reserve(doc.surfaces.size());
    for (const auto& surface : doc.surfaces) {
        ArchiveWriter a;
        WriteSurfaceRecord(a, *surface);
        std::vector<std::uint8_t> bytes = a.release();
        SurfaceRecord record = shared(bytes, previous, snapshot.surfaces.size());
        snapshot.surfaces.push_back(record ? record
                                           : std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes)));
    }
    doc.savingDocument = wasSaving;
    snapshot.design = designBytes(doc);
    snapshot.focus = focusBytes(doc);
    return snapshot;
}

std::size_t RenderFieldOffset(const std::vector<std::uint8_t>& record)
{
    // Points per section and section count close the fields before the sections.
    const auto int32At = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int k = 3; k >= 0; --k) v = (v << 8) | record[at + static_cast<std::size_t>(k)];
        return static_cast<std::int32_t>(v);
    };
    if (record.size() < kSurfaceHeadBytes) return 0;
    const std::int32_t points = int32At(kSurfaceHeadBytes - 12);
    const std::int32_t sections = int32At(kSurfaceHeadBytes - 8);
    if (points < 0 || points > kMaxSectionPoints || sections < 0 || sections > kMaxSections) return 0;
    // Eight sampling counts and two editing flags come before render.
    const std::size_t sectionBytes = kSectionBaseBytes + 24 * static_cast<std::size_t>(points);
    const std::size_t at = kSurfaceHeadBytes + static_cast<std::size_t>(sections) * sectionBytes + 8 * 4 + 2;
    return at + 4 <= record.size() ? at : 0;
}
