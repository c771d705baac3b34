#include "render/GlState.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

namespace render {

SavedGlState::SavedGlState()
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glPushMatrix();
    }
}

SavedGlState::~SavedGlState()
{
    for (GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib(); // also gives back the caller's matrix mode
}

void SetFixedState(ClearColor clear)
{
    static const GLfloat ambient[4] = {0.15f, 0.15f, 0.15f, 0.0f};
    static const GLfloat diffuse[4] = {0.4f, 0.4f, 0.4f, 0.0f};
    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2}) {
        glLightfv(light, GL_AMBIENT, ambient);
        glLightfv(light, GL_DIFFUSE, diffuse);
    }
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glDisable(GL_LIGHT2);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(clear.red, clear.green, clear.blue, clear.alpha);
    // State the scene relies on that a shared context may have changed.
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void SetLightPositions(const Vec3 (&positions)[3])
{
    const GLenum lights[3] = {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2};
    for (int k = 0; k < 3; ++k) {
        const GLfloat p[4] = {static_cast<GLfloat>(positions[k].x), static_cast<GLfloat>(positions[k].y),
                              static_cast<GLfloat>(positions[k].z), 1.0f};
        glLightfv(lights[k], GL_POSITION, p);
    }
}

void SetFrameProjection(int width, int height, double fieldOfView)
{
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, static_cast<double>(width) / height, 0.01, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace render
