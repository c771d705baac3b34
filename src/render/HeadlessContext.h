#pragma once

#include <string>

// An OpenGL context without any display or window, through EGL's surfaceless
// platform (Mesa). It has no default framebuffer: draw into a framebuffer
// object (OffscreenTarget). Used by the command-line tool, the rendering
// tests and the benchmarks.
class HeadlessContext {
public:
    HeadlessContext();
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // True when the context exists and is current on the calling thread.
    bool valid() const { return context_ != nullptr; }
    // Why the context could not be made (empty when valid).
    const std::string& error() const { return error_; }
    // The GL_RENDERER string, e.g. "llvmpipe (...)".
    std::string renderer() const;

private:
    void* display_ = nullptr;
    void* context_ = nullptr;
    std::string error_;
};
