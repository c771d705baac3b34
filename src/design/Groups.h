#pragma once

#include "design/DesignResult.h"
#include <string>
#include <string_view>

class COpenGLTemplateDoc;
class SurfaceSection;
struct SurfaceGroup;

// Groups of surfaces and the operations on a whole surface: renaming and
// deleting it, moving it between groups. The "...Button" operations are the
// group dialog's and the control panel's commands with their checks; they
// return a DesignResult with the text of their message box, and then
// nothing has changed. Links to a surface are kept in step with its name and
// group by every operation here.
namespace design {

// The group named "main", which can be neither renamed nor deleted.
bool IsMainGroup(const COpenGLTemplateDoc& document, const SurfaceGroup& group);
// The group with exactly this name, or none.
SurfaceGroup* FindGroup(COpenGLTemplateDoc& document, std::string_view name);

// Renames a group: its surfaces take the new group name, and so does every
// link (and pseudo link) that named the old one.
void RenameGroup(COpenGLTemplateDoc& document, SurfaceGroup& group, std::string_view name);
// Deletes every surface of the group, then the group itself.
void DeleteGroup(COpenGLTemplateDoc& document, SurfaceGroup& group);
// Takes the surface out of the group's lists; its group becomes "main"
// (reference and name) without joining "main"'s lists.
void RemoveSurfaceFromGroup(COpenGLTemplateDoc& document, SurfaceSection& surface, SurfaceGroup& group);
// Moves a surface from its group to another; links and the ball start follow.
void MoveSurfaceToGroup(COpenGLTemplateDoc& document, SurfaceSection& surface, SurfaceGroup& group);
// Deletes a surface: every link and pseudo link to it is freed and no
// document reference (selection, focus, ball) is left pointing at it.
void DeleteSurface(COpenGLTemplateDoc& document, SurfaceSection& surface);

// "Create new group", "Rename selected group", "Delete selected group" and
// "Add surface to group" of the group dialog (group or surface may be none).
DesignResult CreateGroupButton(COpenGLTemplateDoc& document, std::string_view name);
DesignResult RenameGroupButton(COpenGLTemplateDoc& document, SurfaceGroup* group, std::string_view name);
DesignResult DeleteGroupButton(COpenGLTemplateDoc& document, SurfaceGroup* group);
DesignResult AddSurfaceToGroupButton(COpenGLTemplateDoc& document, SurfaceSection* surface, SurfaceGroup* group);

// Renaming a surface's item in the "Surfaces :" tree.
DesignResult RenameSurface(COpenGLTemplateDoc& document, SurfaceSection& surface, std::string_view name);
// "Delete surface" of the control panel (surface may be none).
DesignResult DeleteSurfaceButton(COpenGLTemplateDoc& document, SurfaceSection* surface);

} // namespace design
