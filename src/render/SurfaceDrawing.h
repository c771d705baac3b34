#pragma once

#include <cstdint>
#include <functional>

class SurfaceSection;
struct GLUquadric;

// Drawing of one surface section: the mesh (lines, triangles, holes) and the
// attachment sites from display lists rebuilt only when stale, and per frame
// the control net, direction arrows, selection box, name, intersection mesh,
// box tree or the editing preview. A frame first compiles the stale lists of
// every surface, then draws them: the scene records that drawing into a list
// of its own, so compiling and drawing never nest.
namespace render {

class DirectionArrowLists;
class OutlineFont;

// How many display lists have been compiled: tests and benchmarks read it to
// see that a list is compiled once per change, not once per frame.
struct CompileCounters {
    std::int64_t meshLists = 0;
    std::int64_t siteLists = 0;
};

// The document's state that decides what a surface shows this frame.
struct SurfaceDrawOptions {
    bool runMode = false;                  // "Position ball" until StopBall
    bool selected = false;                 // the document's selected surface
    bool showImpactIntersections = false;  // "Impact intersections"
    bool showBoundingBoxes = false;        // "Bounding boxes": boxes the last search touched
    bool showAllBoundingBoxes = false;     // "Bounding boxes (all)"
};

struct SurfaceDrawTools {
    GLUquadric* arrow = nullptr;
    const OutlineFont* font = nullptr; // none: names are skipped
    CompileCounters* counters = nullptr;
    // The direction arrows' lists; none: the arrows are drawn directly.
    DirectionArrowLists* directionArrows = nullptr;
    // Called after each mesh list compiled (the loading progress).
    const std::function<void()>* meshListCompiled = nullptr;
};

// Compiles the stale lists the surface's drawing with these options calls
// (none when its render flag is not 1 or it shows the editing preview). Holds
// the surface's geometryLock; the caller holds the document lock.
void CompileSurfaceLists(SurfaceSection& surface, const SurfaceDrawOptions& options, const SurfaceDrawTools& tools);

// Draws the surface when its render flag is 1: calls its lists as last
// compiled and draws the per-frame overlays. Holds the surface's
// geometryLock; the caller holds the document lock.
void DrawSurface(SurfaceSection& surface, const SurfaceDrawOptions& options, const SurfaceDrawTools& tools);

} // namespace render
