#pragma once

// The force circle drawn over the scene while "Navigation" is on: where it
// lies (in pixels, y up from the bottom of the view) and its drawing.
namespace render {

struct ForceCircleLayout {
    int centreX = 0, centreY = 0;
    int size = 0;        // min(width, height)
    double radius = 0.0; // (size - 2) x 0.5 - 10
    bool laidOut = false;
};

// LayoutForceCircle for a view or movie frame of the given size.
ForceCircleLayout LayoutForceCircle(int width, int height);

// The circle as 40 chords and four spokes from 75 pixels out to the rim, in
// blue (0, 0, 170), drawn in an orthographic pixel projection over a viewport
// of the given size. Leaves that projection current.
void DrawForceCircle(const ForceCircleLayout& layout, int width, int height);

} // namespace render
