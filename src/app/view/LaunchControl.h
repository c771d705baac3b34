#pragma once

// Choosing the ball's launch with the mouse: the pointer's height above the
// force circle's centre sets the speed, its distance right of the centre
// turns the direction about the vertical; the ball and the follow camera
// show the launch at once.

#include "geometry/Vec3.h"

class COpenGLTemplateDoc;

struct LaunchChoice {
    double speed = 0.25;
    Vec3 direction; // unit, in the tangent plane at the start point; zero when none
};

// The launch for the pointer at (px, py) (pixels, y from the top) in a view of
// the given size around the centre (cx, cy): speed 100 a with a the height
// above the centre over half the view height (0.25 at or below the centre),
// the reference direction turned about the vertical by -pi b, b the distance
// right of the centre over half the view width, then laid into the tangent
// plane whose unit normal is given.
LaunchChoice ChooseLaunch(double px, double py, double width, double height, double cx, double cy,
                          const Vec3& reference, const Vec3& vertical, const Vec3& normal);

// The mouse moved while the launch is being chosen: stores the launch speed
// and direction in the document and recomputes the preview (PreviewLaunch).
// The reference direction is along the channel (the surface's v tangent) at
// the start point.
void MapLaunchVelocity(COpenGLTemplateDoc& document, int px, int py, double orbitDistance);

// The click that fixes the launch: the ball placed with it, ready to roll.
void FixLaunchWithPreview(COpenGLTemplateDoc& document, double orbitDistance);
