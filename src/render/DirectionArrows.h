#pragma once

#include "geometry/Vec3.h"

#include <unordered_map>

class SurfaceSection;
struct GLUquadric;

// The channel-direction arrows at the two ends of a surface.
namespace render {

// Length of the channel-direction arrows at the two ends of a surface.
inline constexpr double kDirectionArrowLength = 3.0;

// Draws both arrows: width 5, blue, heads of the given size.
void DrawDirectionArrows(const SurfaceSection& surface, GLUquadric* arrow, double head);

// The arrows of each surface compiled into a display list of their own and
// called while the surface's ends and directions stay as they were, so a
// frame does not tessellate the cones again. A list holds exactly the
// commands DrawDirectionArrows gives for the values it was compiled from.
// Render thread only, context current.
class DirectionArrowLists {
public:
    DirectionArrowLists() = default;
    DirectionArrowLists(const DirectionArrowLists&) = delete;
    DirectionArrowLists& operator=(const DirectionArrowLists&) = delete;

    // Compiles the surface's list when it has none or its values changed.
    // Not while another list is being compiled.
    void Prepare(const SurfaceSection& surface, GLUquadric* arrow, double head);
    // Calls the list Prepare made for the surface this frame; draws the
    // arrows directly when there is none.
    void Draw(const SurfaceSection& surface, GLUquadric* arrow, double head) const;
    // Deletes the lists of surfaces not prepared since the last sweep.
    void Sweep();
    void Release();

private:
    struct Entry {
        Vec3 initialPosition, initialDirection, finalPosition, finalDirection;
        double head = 0.0;
        GLUquadric* arrow = nullptr;
        unsigned list = 0;
        bool used = false;
    };
    static bool Matches(const Entry& entry, const SurfaceSection& surface, GLUquadric* arrow, double head);

    // By surface: a surface destroyed and another made at its address finds
    // an entry whose values it must match before its list is used.
    std::unordered_map<const SurfaceSection*, Entry> entries_;
};

} // namespace render
