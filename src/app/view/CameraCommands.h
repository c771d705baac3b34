#pragma once

// The orbit camera's commands: zoom with the right button, the focal point
// commands and the follow camera's alignment. They change the document; the
// caller pauses the worker threads first where a command needs it.

#include <string>

class COpenGLTemplateDoc;

inline constexpr const char* kSelectSurfaceToFocus = "Select a surface upon which to focus.";

// The orbit distance after a right-drag of dy pixels upward (press y minus
// current y) from the distance d0 at the press: s = |dy| / 3 closer (up) or
// farther (down), within [minimum, maximum]; the elevation fraction follows
// the distance. A drag of 0 pixels (or less than one upward) changes nothing.
struct OrbitZoom {
    bool changed = false;
    double distance = 0.0;          // d, positive; cameraDistance becomes -d
    double elevationFraction = 0.0; // F in [0, 1]
};
OrbitZoom ZoomOrbit(double d0, double dy, double minimum, double maximum);
// The orbit distance after turning the mouse wheel by `notches` from the
// distance d: each notch forward comes 10 % closer (no nearer than the
// minimum), each notch back goes 10 % farther (no farther than the maximum);
// the elevation fraction follows as for a drag. No turn changes nothing.
OrbitZoom ZoomOrbitByWheel(double d, double notches, double minimum, double maximum);

// "Set focal point at ball": the focal surface and (u, v) become the ball's.
// Nothing happens when the ball is on no surface.
void SetFocalPointAtBall(COpenGLTemplateDoc& document);

// "Set focal point at selected surface center": the selected surface at
// (0.5, 0.5). Returns kSelectSurfaceToFocus (nothing changed) without a selection.
std::string SetFocalPointAtSelectedCenter(COpenGLTemplateDoc& document);

// "Center view on selected": stops the ball, then the focal point becomes the
// centre of the selected surface's bounding box (the focal surface and its
// parameters stay). Nothing more without a selection.
void CenterViewOnSelected(COpenGLTemplateDoc& document);

// "Show all": the focal point at the centre of all surfaces, the orbit
// distance 1.5 times the largest side of their box.
void ShowAll(COpenGLTemplateDoc& document);
// The control panel's "Show all": "Render" on every surface, then the view
// fitted to all of them as ShowAll does.
void ShowAllSurfaces(COpenGLTemplateDoc& document);

// View > "Camera aligned vertically" (true) or "Camera aligned with surface";
// the control panel's "Vertical orientation" follows.
void SetCameraAlignedVertically(COpenGLTemplateDoc& document, bool vertical);
bool CameraAlignedVertically(const COpenGLTemplateDoc& document);
