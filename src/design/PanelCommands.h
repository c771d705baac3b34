#pragma once

// The control panel's own edits of the document: its check boxes, the
// colouring radio group, "Set ball initial position at focal point", "Show
// only selected" and "Show all"'s render flags. Each is a change a user
// makes, so each marks the document modified. Also the question "Delete
// surface" asks and the refusals of the buttons that open design dialogs
// without a selected surface.

#include "design/DesignResult.h"
#include "document/DocumentSettings.h"
#include "surface/SurfaceSection.h"

#include <cstdint>
#include <string>

class COpenGLTemplateDoc;

namespace design {

inline constexpr const char* kSetFocalSurfaceFirst = "First set the focal point surface and positing.";
inline constexpr const char* kSelectSurfaceForSites = "Select a surface whose attachment sites you want to edit.";
inline constexpr const char* kSelectSurfaceToAttachTo =
    "Select the surface to which you would like to attach another surface.";
inline constexpr const char* kSelectSurfaceForHoles = "Select a surface whose holes you want to edit.";

// "Set ball initial position at focal point": the focal surface and (focalU,
// focalV) become the ball's start (its name and its group's name, or "none",
// copied into the start fields). Refused without a focal surface.
DesignResult SetBallStartAtFocalPoint(COpenGLTemplateDoc& document);

// A scene switch of the document ("Pause on air", "Ball path past", ...).
// The render and physics threads read it, so it is written atomically.
void SetDocumentSwitch(COpenGLTemplateDoc& document, bool DocumentSettings::*field, bool on);

// A switch of the selected surface ("Show control lines", "Show name", ...);
// with `stale` the surface's display lists are rebuilt. With no selected
// surface nothing changes.
void SetSurfaceSwitch(COpenGLTemplateDoc& document, std::int32_t SurfaceSection::*field, std::int32_t value,
                      bool stale);
// The selected surface's colouring; its display lists are rebuilt.
void SetSurfaceColoring(COpenGLTemplateDoc& document, Coloring coloring);
// The selected surface's "Render" switch; nothing without a selection.
void SetSurfaceRender(COpenGLTemplateDoc& document, bool on);

// "Show only selected": every surface's "Render" off except the selected
// one's. False (nothing changed) without a selected surface.
bool ShowOnlySelected(COpenGLTemplateDoc& document);
// "Show all": every surface's "Render" on.
void RenderAllSurfaces(COpenGLTemplateDoc& document);

// The confirmation "Delete surface" asks before it deletes (name in UTF-8).
std::string DeleteSurfaceQuestion(const SurfaceSection& surface);

} // namespace design
