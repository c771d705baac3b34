#include "render/Arrow.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace render {

void DrawArrow(GLUquadric* quadric, const Vec3& P, const Vec3& V, double h)
{
    const double L = length(V);
    if (L == 0.0) return;
    const double head = h == 0.0 ? 0.2 * L : h;
    const Vec3 unit = V / L;

    glBegin(GL_LINES);
    glVertex3d(P.x, P.y, P.z);
    const Vec3 shaftEnd = P + unit * (0.95 * L);
    glVertex3d(shaftEnd.x, shaftEnd.y, shaftEnd.z);
    glEnd();

    // The cone's axis is z: turn it onto V about z x V.
    const Vec3 base = P + V - unit * head;
    const double degrees = std::acos(std::clamp(unit.z, -1.0, 1.0)) * 57.29577951308;
    Vec3 axis = cross(Vec3{0.0, 0.0, 1.0}, unit);
    replaceIfTiny(axis, Vec3{1.0, 0.0, 0.0}); // V along -z: any axis across z turns it half a turn
    glPushMatrix();
    glTranslated(base.x, base.y, base.z);
    if (degrees != 0.0) glRotated(degrees, axis.x, axis.y, axis.z);
    gluCylinder(quadric, head / 2.0, 0.0, head, 20, 2);
    glPopMatrix();
}

} // namespace render
