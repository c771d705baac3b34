#pragma once

#include "render/DirectionArrows.h"
#include "render/SurfaceDrawing.h"

class COpenGLTemplateDoc;

namespace render {

// The surfaces of one frame recorded into a display list while the document
// lock is held, and drawn after it is released: the physics step, which
// needs that lock for its searches, does not wait while the rasteriser works
// through the meshes. Only the render thread creates and deletes list names,
// and a surface destroyed meanwhile hands its lists to the document's retired
// lists, deleted at the start of the next frame: every list the recording
// calls is still alive when it is drawn. All calls with the context current.
class FrameList {
public:
    FrameList() = default;
    FrameList(const FrameList&) = delete;
    FrameList& operator=(const FrameList&) = delete;

    void Create();
    void Release();

    // Under the document lock: compiles the stale lists of every surface in
    // list order, then records every surface's drawing (the options' selected
    // flag is set per surface; the direction arrows come from lists kept here).
    void Record(COpenGLTemplateDoc& document, SurfaceDrawOptions options, SurfaceDrawTools tools);
    // Draws the last recording; nothing before the first.
    void Draw() const;

private:
    unsigned list_ = 0;
    DirectionArrowLists arrows_;
};

} // namespace render
