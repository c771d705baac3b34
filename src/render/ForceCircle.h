#pragma once

struct ForceCircle;

namespace render {

// The force circle drawn over the scene while "Navigation" is on: 40 chords
// of its rim and four spokes from 75 pixels out to the rim, up, down, right
// and left, in blue (0, 0, 170), flat (no lighting, texture or depth test),
// in an orthographic pixel projection over a viewport of the given size with
// y up. Leaves that projection current.
void DrawForceCircle(const ForceCircle& circle, int width, int height);

} // namespace render
