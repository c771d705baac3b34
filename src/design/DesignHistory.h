#pragma once

// The undo history of design changes. Every command that changes the
// document records one step after it has been done, named for the Edit
// menu ("Undo Attach surface"). A call that finds the document as the last
// step left it records nothing, so calling it after a command that may have
// changed nothing is harmless. Live previews inside an open dialog are not
// steps: a dialog without a preview records one at its OK (or "Add new",
// "Attach", ...); a dialog with one holds the history while it is open and
// records one step when it closes after a "Save", so that the step holds
// the surface as its user is left with it.

#include "design/DesignResult.h"

#include <string>
#include <string_view>

class COpenGLTemplateDoc;

namespace design {

void RecordStep(COpenGLTemplateDoc& document, std::string_view what);

// Refusals of Undo and Redo.
inline constexpr const char* kNothingToUndo = "There is nothing to undo.";
inline constexpr const char* kNothingToRedo = "There is nothing to redo.";
inline constexpr const char* kHistoryHeld = "Save or close the open design dialog first.";

// Whether Undo (Redo) would do something now: there is a step, and no dialog
// holds the history.
bool CanUndo(const COpenGLTemplateDoc& document);
bool CanRedo(const COpenGLTemplateDoc& document);
// The name of the step Undo takes back (Redo does again); "" when none.
std::string UndoStepName(const COpenGLTemplateDoc& document);
std::string RedoStepName(const COpenGLTemplateDoc& document);

// Takes back the last step (does again the last step undone): the document
// becomes exactly what it was after the step before (after that step), with
// the threads held meanwhile. Only the surfaces that differ are built again;
// the selection moves to the first of them (and stays otherwise, when its
// surface is still there); a surface, group or site reference kept outside
// the document may be gone afterwards (the peers hear DocumentRestored). The
// modified mark is cleared when the state reached is the one last saved, set
// otherwise. The scene's switches, the camera and the launch are not part of
// a step and stay as they are; unrecorded changes since the last step are
// dropped. Refused with kNothingToUndo (kNothingToRedo), or kHistoryHeld
// while a dialog holds the history.
DesignResult Undo(COpenGLTemplateDoc& document);
DesignResult Redo(COpenGLTemplateDoc& document);

// A design dialog that changes the document as a live preview, or keeps
// references to its surfaces, holds the history while it does: undo and redo
// are refused (and the Edit menu greyed) until the hold ends. Holds nest.
void HoldHistory(COpenGLTemplateDoc& document);
void ReleaseHistory(COpenGLTemplateDoc& document);

class HistoryHold {
public:
    explicit HistoryHold(COpenGLTemplateDoc& document) : document_(document) { HoldHistory(document_); }
    ~HistoryHold() { ReleaseHistory(document_); }
    HistoryHold(const HistoryHold&) = delete;
    HistoryHold& operator=(const HistoryHold&) = delete;

private:
    COpenGLTemplateDoc& document_;
};

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
