#include "render/HeadlessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>

namespace {

// The surfaceless platform's display, when the client library offers it.
EGLDisplay surfacelessDisplay()
{
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!extensions || !std::strstr(extensions, "EGL_MESA_platform_surfaceless")) return EGL_NO_DISPLAY;
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

} // namespace

HeadlessContext::HeadlessContext()
{
    EGLDisplay display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY) {
        error_ = "EGL has no surfaceless platform (Mesa's EGL_MESA_platform_surfaceless)";
        return;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        error_ = "the surfaceless EGL display could not be initialised";
        return;
    }
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error_ = "EGL offers no desktop OpenGL";
        return;
    }
    // A compatibility context without a config: display lists, fixed-function
    // lighting and framebuffer objects are all there.
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        error_ = "no OpenGL context could be created on the surfaceless display";
        return;
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        eglDestroyContext(display, context);
        error_ = "the OpenGL context could not be made current";
        return;
    }
    context_ = context;
}

HeadlessContext::~HeadlessContext()
{
    // The display stays initialised for the life of the process: it is one
    // per process, shared by every context, and terminating it would unload
    // the driver under any other context still alive.
    if (!context_) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
}

std::string HeadlessContext::renderer() const
{
    if (!context_) return {};
    const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return text ? text : "";
}
