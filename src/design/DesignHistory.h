#pragma once

// The undo history of design changes. Every command that changes the
// document records one step after it has been done, named for the Edit
// menu ("Undo Attach surface"). A call that finds the document as the last
// step left it records nothing, so calling it after a command that may have
// changed nothing is harmless. Live previews inside an open dialog are not
// steps; the dialog's "Save" (or OK) records one.

#include <string_view>

class COpenGLTemplateDoc;

namespace design {

void RecordStep(COpenGLTemplateDoc& document, std::string_view what);

// Names of the steps, as the Edit menu shows them after "Undo " or "Redo ".
inline constexpr const char* kStepCreateChannel = "Create channel surface";
inline constexpr const char* kStepCreateCircular = "Create circular surface";
inline constexpr const char* kStepCreateSweep = "Create sweep surface";
inline constexpr const char* kStepDeleteSurface = "Delete surface"; // followed by " " and the name
inline constexpr const char* kStepRenameSurface = "Rename surface";
inline constexpr const char* kStepShowOnlySelected = "Show only selected";
inline constexpr const char* kStepShowAll = "Show all";
inline constexpr const char* kStepSurfaceDisplay = "Change surface display";
inline constexpr const char* kStepEditSurface = "Edit surface";
inline constexpr const char* kStepTransformSections = "Transform cross sections";
inline constexpr const char* kStepEditShape = "Edit cross section shape";
inline constexpr const char* kStepAddSite = "Add attachment site";
inline constexpr const char* kStepDeleteSite = "Delete attachment site";
inline constexpr const char* kStepAttach = "Attach surface";
inline constexpr const char* kStepIdenticalCircular = "Identical circular surface";
inline constexpr const char* kStepNewChannel = "New channel surface";
inline constexpr const char* kStepBreakAttachment = "Break attachment";
inline constexpr const char* kStepAddHole = "Add hole";
inline constexpr const char* kStepDeleteHole = "Delete hole";
inline constexpr const char* kStepCreateGroup = "Create group";
inline constexpr const char* kStepRenameGroup = "Rename group";
inline constexpr const char* kStepDeleteGroup = "Delete group";
inline constexpr const char* kStepMoveToGroup = "Add surface to group";
inline constexpr const char* kStepImportLibrary = "Import from library";
inline constexpr const char* kStepSetBallStart = "Set ball start";

} // namespace design
