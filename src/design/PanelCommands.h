#pragma once

// The control panel's commands that are not a design dialog's: the ball's
// start at the focal point, "Show only selected", the question "Delete
// surface" asks, and the refusals of the buttons that open design dialogs
// without a selected surface.

#include "design/DesignResult.h"

#include <string>

class COpenGLTemplateDoc;
class SurfaceSection;

namespace design {

inline constexpr const char* kFocalSurfaceMissing = "First set the focal point surface and positing.";
inline constexpr const char* kSelectSurfaceForSites = "Select a surface whose attachment sites you want to edit.";
inline constexpr const char* kSelectSurfaceToAttachTo =
    "Select the surface to which you would like to attach another surface.";
inline constexpr const char* kSelectSurfaceForHoles = "Select a surface whose holes you want to edit.";

// "Set ball initial position at focal point": the ball's start surface and
// (u, v) become the focal ones, with the surface's name and group name (or
// "none") in the start fields. Without a focal surface returns
// kFocalSurfaceMissing and changes nothing.
DesignResult SetBallStartAtFocalPoint(COpenGLTemplateDoc& document);

// The confirmation "Delete surface" asks before it deletes (name in UTF-8).
std::string DeleteSurfaceQuestion(const SurfaceSection& surface);

// "Show only selected": every surface's "Render" off except the selected
// one's. False (nothing changed) without a selected surface.
bool ShowOnlySelected(COpenGLTemplateDoc& document);

} // namespace design
