#include "render/ForceCircle.h"

#include "geometry/Vec3.h"
#include "simulation/SimulationState.h"

#include <GL/gl.h>

#include <cmath>

namespace render {

void DrawForceCircle(const ForceCircle& circle, int width, int height)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width - 1.0, 0.0, height - 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // A flat overlay: its blue is not shaded, textured or hidden by the scene.
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor3ub(0, 0, 170);
    glLineWidth(1.0f);

    const double cx = circle.centreX.load(), cy = circle.centreY.load(), R = circle.radius.load();
    const double step = kTwoPi / 40.0;
    glBegin(GL_LINES);
    for (int k = 0; k < 40; ++k) {
        glVertex2d(cx + R * std::cos(k * step), cy + R * std::sin(k * step));
        glVertex2d(cx + R * std::cos((k + 1) * step), cy + R * std::sin((k + 1) * step));
    }
    const double directions[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
    for (const auto& d : directions) {
        glVertex2d(cx + 75.0 * d[0], cy + 75.0 * d[1]);
        glVertex2d(cx + R * d[0], cy + R * d[1]);
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
}

} // namespace render
