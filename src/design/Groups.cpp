#include "design/Groups.h"

#include "design/ChannelCreation.h"
#include "document/OpenGLTemplateDoc.h"

#include <algorithm>

namespace design {

namespace {

constexpr const char* kGroupNameBlank = "The group name must not be blank.";
constexpr const char* kGroupNameTaken = "There is already a group with this name.  Choose another name.";

// Applies f to every site of every surface of the document.
template <typename F>
void forEachSite(COpenGLTemplateDoc& document, F f)
{
    for (const auto& s : document.surfaces)
        for (AttachmentSite& site : s->attachmentSites) f(*s, site);
}

// Removes the first name equal to `name` from a group's name list.
void eraseMemberName(SurfaceGroup& group, const std::string& name)
{
    auto it = std::find(group.memberNames.begin(), group.memberNames.end(), name);
    if (it != group.memberNames.end()) group.memberNames.erase(it);
}

std::string checkGroupName(COpenGLTemplateDoc& document, std::string_view name)
{
    if (name.size() > static_cast<std::size_t>(kMaxSurfaceNameLength)) return TextLengthPrompt(kMaxSurfaceNameLength);
    if (name.empty()) return kGroupNameBlank;
    if (document.GroupNameExists(name)) return kGroupNameTaken;
    return {};
}

} // namespace

bool IsMainGroup(const COpenGLTemplateDoc& document, const SurfaceGroup& group)
{
    return textOf(group.name) == textOf(document.mainGroupName);
}

SurfaceGroup* FindGroup(COpenGLTemplateDoc& document, std::string_view name)
{
    LockGuard guard(document.documentLock);
    for (const auto& g : document.groups)
        if (textOf(g->name) == name) return g.get();
    return nullptr;
}

void RenameGroup(COpenGLTemplateDoc& document, SurfaceGroup& group, std::string_view name)
{
    LockGuard guard(document.documentLock);
    const std::string oldName = textOf(group.name);
    const std::string newName(name);
    setText(group.name, newName);
    for (const auto& s : document.surfaces)
        if (s->group == &group) setText(s->groupName, newName);
    forEachSite(document, [&](SurfaceSection&, AttachmentSite& site) {
        if (textOf(site.otherSurfaceGroupName) == oldName) setText(site.otherSurfaceGroupName, newName);
        if (textOf(site.pseudoSurfaceGroupName) == oldName) setText(site.pseudoSurfaceGroupName, newName);
    });
    if (textOf(document.ballStartGroupName) == oldName) setText(document.ballStartGroupName, newName);
    document.SetModifiedFlag();
}

void DeleteSurface(COpenGLTemplateDoc& document, SurfaceSection& surface)
{
    LockGuard guard(document.documentLock);
    forEachSite(document, [&](SurfaceSection&, AttachmentSite& site) {
        if (site.otherSurface == &surface) {
            site.otherSurface = nullptr;
            setText(site.otherSurfaceName, "none");
            setText(site.otherSurfaceGroupName, "none");
        }
        if (site.pseudoSurface == &surface) {
            site.pseudoSurface = nullptr;
            setText(site.pseudoSurfaceName, "none");
            setText(site.pseudoSurfaceGroupName, "none");
        }
    });
    for (SurfaceSection** reference : {&document.selectedSurface, &document.focalSurface,
                                       &document.ballStartSurface, &document.ballSurface})
        if (*reference == &surface) *reference = nullptr;
    for (const auto& g : document.groups) {
        auto it = std::find(g->members.begin(), g->members.end(), &surface);
        if (it == g->members.end()) continue;
        g->members.erase(it);
        eraseMemberName(*g, textOf(surface.name));
    }
    auto& list = document.surfaces;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& s) { return s.get() == &surface; }),
               list.end());
    document.SetModifiedFlag();
    document.peers().FillSurfaceTree();
}

void DeleteGroup(COpenGLTemplateDoc& document, SurfaceGroup& group)
{
    LockGuard guard(document.documentLock);
    std::vector<SurfaceSection*> doomed = group.members;
    for (const auto& s : document.surfaces)
        if (s->group == &group && std::find(doomed.begin(), doomed.end(), s.get()) == doomed.end())
            doomed.push_back(s.get());
    for (SurfaceSection* s : doomed) DeleteSurface(document, *s);
    group.members.clear();
    group.memberNames.clear();
    const bool wasCurrent = document.currentGroup == &group;
    auto& groups = document.groups;
    groups.erase(std::remove_if(groups.begin(), groups.end(), [&](const auto& g) { return g.get() == &group; }),
                 groups.end());
    if (wasCurrent) {
        document.currentGroup = nullptr;
        document.EnsureMainGroup();
    }
    document.SetModifiedFlag();
    document.peers().FillSurfaceTree();
}

void RemoveSurfaceFromGroup(COpenGLTemplateDoc& document, SurfaceSection& surface, SurfaceGroup& group)
{
    LockGuard guard(document.documentLock);
    auto it = std::find(group.members.begin(), group.members.end(), &surface);
    if (it == group.members.end()) return;
    group.members.erase(it);
    eraseMemberName(group, textOf(surface.name));
    surface.group = FindGroup(document, textOf(document.mainGroupName));
    setText(surface.groupName, textOf(document.mainGroupName));
    document.SetModifiedFlag();
}

void MoveSurfaceToGroup(COpenGLTemplateDoc& document, SurfaceSection& surface, SurfaceGroup& group)
{
    LockGuard guard(document.documentLock);
    if (surface.group) RemoveSurfaceFromGroup(document, surface, *surface.group);
    document.AddSurfaceToGroup(&surface, &group);
    const std::string name = textOf(group.name);
    forEachSite(document, [&](SurfaceSection&, AttachmentSite& site) {
        if (site.otherSurface == &surface) setText(site.otherSurfaceGroupName, name);
        if (site.pseudoSurface == &surface) setText(site.pseudoSurfaceGroupName, name);
    });
    if (document.ballStartSurface == &surface) setText(document.ballStartGroupName, name);
    document.SetModifiedFlag();
    document.peers().FillSurfaceTree();
}

DesignResult CreateGroupButton(COpenGLTemplateDoc& document, std::string_view name)
{
    if (auto refusal = checkGroupName(document, name); !refusal.empty()) return refusal;
    document.CreateGroup(name);
    document.SetModifiedFlag();
    document.peers().FillSurfaceTree();
    return {};
}

DesignResult RenameGroupButton(COpenGLTemplateDoc& document, SurfaceGroup* group, std::string_view name)
{
    if (name.size() > static_cast<std::size_t>(kMaxSurfaceNameLength)) return TextLengthPrompt(kMaxSurfaceNameLength);
    if (!group) return "Select a group to rename.";
    if (IsMainGroup(document, *group)) return "You cannot rename this group.";
    if (auto refusal = checkGroupName(document, name); !refusal.empty()) return refusal;
    RenameGroup(document, *group, name);
    document.SetModifiedFlag();
    document.peers().FillSurfaceTree();
    return {};
}

DesignResult DeleteGroupButton(COpenGLTemplateDoc& document, SurfaceGroup* group)
{
    if (!group) return "Select a group in in the left tree view to delete.";
    if (IsMainGroup(document, *group)) return "You cannot delete this group.";
    DeleteGroup(document, *group);
    return {};
}

DesignResult AddSurfaceToGroupButton(COpenGLTemplateDoc& document, SurfaceSection* surface, SurfaceGroup* group)
{
    if (!group) return "Select a group in the left tree view to add the surface to.";
    if (!surface) return "Select a surface in the right tree view to remove from its group.";
    // Links name a surface by its name and group: two of one name in a group could not be told apart.
    for (const SurfaceSection* member : group->members)
        if (member != surface && textOf(member->name) == textOf(surface->name))
            return "A surface with that name already exists in that group.";
    MoveSurfaceToGroup(document, *surface, *group);
    return {};
}

DesignResult RenameSurface(COpenGLTemplateDoc& document, SurfaceSection& surface, std::string_view name)
{
    if (name.size() > static_cast<std::size_t>(kMaxSurfaceNameLength)) return TextLengthPrompt(kMaxSurfaceNameLength);
    if (name.empty()) return "The new surface name must not be blank.";
    if (surface.group && document.SurfaceNameExistsInGroup(name, textOf(surface.group->name)))
        return "A surface with that name already exists in its group.";
    LockGuard guard(document.documentLock);
    const std::string oldName = textOf(surface.name);
    const std::string newName(name);
    setText(surface.name, newName);
    if (document.ballStartSurface == &surface) setText(document.ballStartSurfaceName, newName);
    forEachSite(document, [&](SurfaceSection&, AttachmentSite& site) {
        if (site.otherSurface == &surface && textOf(site.otherSurfaceName) == oldName)
            setText(site.otherSurfaceName, newName);
        if (site.pseudoSurface == &surface && textOf(site.pseudoSurfaceName) == oldName)
            setText(site.pseudoSurfaceName, newName);
    });
    if (surface.group) {
        auto& names = surface.group->memberNames;
        auto it = std::find(names.begin(), names.end(), oldName);
        if (it != names.end()) *it = newName;
    }
    document.SetModifiedFlag();
    document.peers().FillSurfaceTree();
    return {};
}

DesignResult DeleteSurfaceButton(COpenGLTemplateDoc& document, SurfaceSection* surface)
{
    if (!surface) return "Select a surface to delete.";
    DeleteSurface(document, *surface);
    return {};
}

} // namespace design
