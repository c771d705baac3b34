#pragma once

// The control panel's own edits of the document: its check boxes, the
// colouring radio group and "Set ball initial position at focal point".
// Each is a change a user makes, so each marks the document modified.

#include "design/DesignResult.h"
#include "document/DocumentSettings.h"
#include "surface/SurfaceSection.h"

#include <cstdint>

class COpenGLTemplateDoc;

namespace design {

inline constexpr const char* kSetFocalSurfaceFirst = "First set the focal point surface and positing.";

// "Set ball initial position at focal point": the focal surface and (focalU,
// focalV) become the ball's start (its name and its group's name, or "none",
// copied into the start fields). Refused without a focal surface.
DesignResult SetBallStartAtFocalPoint(COpenGLTemplateDoc& document);

// A scene switch of the document ("Pause on air", "Ball path past", ...).
// The render and physics threads read it, so it is written atomically.
void SetDocumentSwitch(COpenGLTemplateDoc& document, bool DocumentSettings::*field, bool on);

// A switch of the selected surface ("Show control lines", the colouring mode
// 0 to 3, ...); with `stale` the surface's display lists are rebuilt. With no
// selected surface nothing changes.
void SetSurfaceSwitch(COpenGLTemplateDoc& document, std::int32_t SurfaceSection::*field, std::int32_t value,
                      bool stale);
// The selected surface's "Render" switch; nothing without a selection.
void SetSurfaceRender(COpenGLTemplateDoc& document, bool on);

} // namespace design
