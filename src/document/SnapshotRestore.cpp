// Restoring a state of the undo history: only the surfaces whose records
// differ are read and built again; everything that refers to a surface is
// resolved again by name and group, as after opening a file.

#include "document/OpenGLTemplateDoc.h"

#include "document/SurfaceArchive.h"

#include <algorithm>
#include <cstring>

namespace {

// What becomes of each surface of the snapshot.
struct Placement {
    std::size_t kept = SIZE_MAX;                  // index in the current list, or SIZE_MAX
    std::unique_ptr<SurfaceSection> fresh;        // read from the record when not kept
    std::int32_t render = -1;                     // a kept surface's new render flag, or -1
    bool added = false;                           // fresh, and no surface had its name and group
    const std::vector<std::uint8_t>* record = nullptr; // what a fresh one is read from
};

bool sameApartFromRender(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    if (a.size() != b.size()) return false;
    const std::size_t at = RenderFieldOffset(a);
    if (at == 0 || RenderFieldOffset(b) != at) return false;
    const auto after = static_cast<std::ptrdiff_t>(at + 4);
    return std::equal(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(at), b.begin()) &&
           std::equal(a.begin() + after, a.end(), b.begin() + after);
}

std::int32_t renderOf(const std::vector<std::uint8_t>& record)
{
    ArchiveReader reader(std::span<const std::uint8_t>(record).subspan(RenderFieldOffset(record)));
    return reader.readInt32();
}

// Reads a record into a surface whose sites and holes are emptied first.
void readRecord(SurfaceSection& s, const std::vector<std::uint8_t>& record)
{
    s.attachmentSites.clear();
    s.holes.clear();
    ArchiveReader reader(record);
    ReadSurfaceRecord(reader, s);
}

// The first unused index of the current records that `match` accepts,
// trying `near` first; SIZE_MAX when none does.
template <typename Match>
std::size_t findUnused(const std::vector<SurfaceRecord>& records, const std::vector<bool>& used, std::size_t near,
                       Match match)
{
    if (near < records.size() && !used[near] && match(records[near])) return near;
    for (std::size_t k = 0; k < records.size(); ++k)
        if (!used[k] && match(records[k])) return k;
    return SIZE_MAX;
}

SurfaceSection* findIn(const SurfaceList& list, std::string_view name, std::string_view groupName)
{
    for (const auto& s : list)
        if (textOf(s->name) == name && textOf(s->groupName) == groupName) return s.get();
    return nullptr;
}

bool alive(const SurfaceList& list, const SurfaceSection* surface)
{
    return surface && std::any_of(list.begin(), list.end(), [&](const auto& s) { return s.get() == surface; });
}

// Decides, for each surface of the target, whether a current surface stays
// (with its render flag set when only that differs) or a fresh one is read
// from the record; fresh ones are listed in `toBuild`. Throws ArchiveError.
std::vector<Placement> planPlacements(const DocumentSnapshot& target, const DocumentSnapshot& now,
                                      const SurfaceList& current, SurfaceHost* host,
                                      std::vector<SurfaceSection*>& toBuild)
{
    std::vector<bool> used(now.surfaces.size(), false);
    std::vector<Placement> placements(target.surfaces.size());
    for (std::size_t i = 0; i < target.surfaces.size(); ++i) {
        const SurfaceRecord& record = target.surfaces[i];
        Placement& p = placements[i];
        p.kept = findUnused(now.surfaces, used, i, [&](const SurfaceRecord& r) { return r == record; });
        if (p.kept == SIZE_MAX) {
            p.kept = findUnused(now.surfaces, used, i,
                                [&](const SurfaceRecord& r) { return sameApartFromRender(*r, *record); });
            if (p.kept != SIZE_MAX) p.render = renderOf(*record);
        }
        if (p.kept != SIZE_MAX) {
            used[p.kept] = true;
            continue;
        }
        p.fresh = std::make_unique<SurfaceSection>(host);
        readRecord(*p.fresh, *record);
        p.fresh->requestedPointsPerSection = p.fresh->pointsPerSection;
        p.added = !findIn(current, textOf(p.fresh->name), textOf(p.fresh->groupName));
        p.record = record.get();
        toBuild.push_back(p.fresh.get());
    }
    return placements;
}

} // namespace

bool COpenGLTemplateDoc::RestoreSnapshot(const DocumentSnapshot& target, RestoreOutcome& outcome,
                                         std::string& error)
{
    outcome = {};
    // The current records, sharing the target's where their bytes are equal.
    const DocumentSnapshot now = TakeSnapshot(*this, &target);
    std::vector<SurfaceSection*> toBuild;
    std::vector<Placement> placements;
    try {
        placements = planPlacements(target, now, surfaces, this, toBuild);
    } catch (const ArchiveError& e) {
        error = e.userMessage("The undo history");
        return false;
    }
    if (!BuildSurfaces(toBuild, "The undo history", false, error)) return false;
    // Building recomputes the section vectors and end frames: the record's own values stand.
    for (const Placement& p : placements)
        if (p.fresh) readRecord(*p.fresh, *p.record);

    SurfaceList gone;
    {
        LockGuard guard(documentLock);
        SurfaceList list;
        list.reserve(placements.size());
        for (Placement& p : placements) {
            if (p.fresh) {
                outcome.changed.push_back(p.fresh.get());
                if (p.added) outcome.added.push_back(p.fresh.get());
                list.push_back(std::move(p.fresh));
                continue;
            }
            list.push_back(std::move(surfaces[p.kept]));
            if (p.render >= 0) list.back()->render = p.render;
        }
        for (auto& s : surfaces)
            if (s) gone.push_back(std::move(s));
        surfaces = std::move(list);
        outcome.destroyed = !gone.empty();
        for (SurfaceSection** reference : {&selectedSurface, &ballSurface})
            if (!alive(surfaces, *reference)) *reference = nullptr;
        RestoreGroups(target);
        RestoreFocus(target);
        RelinkSites();
    }
    return true;
}

void COpenGLTemplateDoc::RestoreGroups(const DocumentSnapshot& target)
{
    ArchiveReader a(target.design);
    GroupList old = std::move(groups);
    groups.clear();
    const std::int32_t count = a.readInt32();
    for (std::int32_t g = 0; g < count; ++g) {
        char name[kLongNameSize];
        a.readFixed(name);
        // A group of the same name stays the same object.
        auto same = std::find_if(old.begin(), old.end(),
                                 [&](const auto& o) { return o && textOf(o->name) == textOf(name); });
        std::unique_ptr<SurfaceGroup> group = same != old.end() ? std::move(*same) : std::make_unique<SurfaceGroup>();
        std::memcpy(group->name, name, kLongNameSize);
        group->memberNames.clear();
        group->members.clear();
        const std::int32_t members = a.readInt32();
        for (std::int32_t k = 0; k < members; ++k) group->memberNames.push_back(a.readString());
        groups.push_back(std::move(group));
    }
    currentGroup = nullptr;
    if (a.readBool()) {
        char current[kLongNameSize];
        a.readFixed(current);
        for (const auto& g : groups)
            if (textOf(g->name) == textOf(current)) currentGroup = g.get();
    }
    a.readFixed(ballStartSurfaceName);
    a.readFixed(ballStartGroupName);
    ballStartU = a.readDouble();
    ballStartV = a.readDouble();
    ballStartSurface = findIn(surfaces, textOf(ballStartSurfaceName), textOf(ballStartGroupName));

    for (const auto& s : surfaces) s->group = nullptr;
    for (const auto& g : groups)
        for (const std::string& member : g->memberNames) {
            SurfaceSection* s = findIn(surfaces, member, textOf(g->name));
            if (!s) continue;
            g->members.push_back(s);
            s->group = g.get();
        }
    // A surface outside every group's lists keeps the group its name gives.
    for (const auto& s : surfaces)
        if (!s->group)
            for (const auto& g : groups)
                if (textOf(g->name) == textOf(s->groupName)) s->group = g.get();
    EnsureMainGroup();
}

void COpenGLTemplateDoc::RestoreFocus(const DocumentSnapshot& target)
{
    ArchiveReader a(target.focus);
    focalSurface = nullptr;
    if (a.readBool()) {
        char name[kLongNameSize], group[kLongNameSize];
        a.readFixed(name);
        a.readFixed(group);
        focalSurface = findIn(surfaces, textOf(name), textOf(group));
    }
    focalU = a.readDouble();
    focalV = a.readDouble();
    focalPoint = a.readVec3();
    if (focalSurface) focalSurface->EvaluateDerivatives(focalU, focalV, focalDerivatives);
}

void COpenGLTemplateDoc::RelinkSites()
{
    for (const auto& s : surfaces)
        for (AttachmentSite& site : s->attachmentSites) {
            site.otherSurface = findIn(surfaces, textOf(site.otherSurfaceName), textOf(site.otherSurfaceGroupName));
            site.pseudoSurface = findIn(surfaces, textOf(site.pseudoSurfaceName), textOf(site.pseudoSurfaceGroupName));
        }
}
