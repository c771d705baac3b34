#pragma once

#include "geometry/Vec3.h"

// The fixed OpenGL state the scene is drawn with, and a guard that restores
// whatever the renderer changed, so the caller's own state survives a frame.
namespace render {

// Everything the renderer changes: all server and client attributes, the
// projection, model-view and texture matrices and the matrix mode. The
// framebuffer binding is not an attribute: the capture keeps it itself.
class SavedGlState {
public:
    SavedGlState();
    ~SavedGlState();
    SavedGlState(const SavedGlState&) = delete;
    SavedGlState& operator=(const SavedGlState&) = delete;
};

struct ClearColor {
    float red = 0.0f, green = 0.0f, blue = 0.0f, alpha = 0.0f;
};

// Depth test, counter-clockwise front faces, 2D texturing, lighting with
// lights 0 and 1 (light 2 prepared but off), smooth shading, colour material
// tracking ambient and diffuse of front faces, both faces filled.
void SetFixedState(ClearColor clear = {});

// The three light positions (w = 1), in the current model-view space.
void SetLightPositions(const Vec3 (&positions)[3]);

// The start of every frame: viewport (0, 0, width, height) with a height of 0
// taken as 1, perspective of fieldOfView degrees from 0.01 to 1000, identity
// model-view.
void SetFrameProjection(int width, int height, double fieldOfView);

} // namespace render
