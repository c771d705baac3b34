#pragma once

// Holds one surface still for a live preview step of a design dialog: a
// slider step or a drag that regenerates the surface while the view keeps
// drawing.
//
// While the ball is parked, only the surface's own geometry lock is held:
// the render thread draws every surface under that lock and skips one being
// rebuilt, so it waits at most for this rebuild (a few milliseconds) and
// keeps its frame rate. Pausing the threads instead would cost the render
// thread a whole paused pass (200 ms) per step. While the ball rolls or its
// launch is being chosen, the physics thread reads surfaces outside that
// lock, so both threads are paused as for any other command.

#include "document/ThreadPauseGuard.h"
#include "platform/Lock.h"

#include <optional>

class COpenGLTemplateDoc;
class SurfaceSection;

namespace design {

class LivePreviewGuard {
public:
    // surface may be none: then nothing is held.
    LivePreviewGuard(COpenGLTemplateDoc& document, SurfaceSection* surface);
    LivePreviewGuard(const LivePreviewGuard&) = delete;
    LivePreviewGuard& operator=(const LivePreviewGuard&) = delete;

    // True when the threads were paused rather than the surface locked.
    bool pausedThreads() const { return pause_.has_value(); }

private:
    std::optional<ThreadPauseGuard> pause_;
    std::optional<LockGuard> surfaceLock_;
};

} // namespace design
