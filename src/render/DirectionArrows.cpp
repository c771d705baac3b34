#include "render/DirectionArrows.h"

#include "render/Arrow.h"
#include "surface/SurfaceSection.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace render {

void DrawDirectionArrows(const SurfaceSection& s, GLUquadric* arrow, double head)
{
    glLineWidth(5.0f);
    glColor3ub(0, 0, 200);
    DrawArrow(arrow, s.initialPosition, normalized(s.initialDirection) * kDirectionArrowLength, head);
    DrawArrow(arrow, s.finalPosition, normalized(s.finalDirection) * kDirectionArrowLength, head);
}

bool DirectionArrowLists::Matches(const Entry& e, const SurfaceSection& s, GLUquadric* arrow, double head)
{
    return e.list != 0 && e.arrow == arrow && e.head == head && e.initialPosition == s.initialPosition &&
           e.initialDirection == s.initialDirection && e.finalPosition == s.finalPosition &&
           e.finalDirection == s.finalDirection;
}

void DirectionArrowLists::Prepare(const SurfaceSection& s, GLUquadric* arrow, double head)
{
    Entry& e = entries_[&s];
    e.used = true;
    if (Matches(e, s, arrow, head)) return;
    if (e.list == 0) e.list = glGenLists(1);
    e.initialPosition = s.initialPosition;
    e.initialDirection = s.initialDirection;
    e.finalPosition = s.finalPosition;
    e.finalDirection = s.finalDirection;
    e.head = head;
    e.arrow = arrow;
    glNewList(e.list, GL_COMPILE);
    DrawDirectionArrows(s, arrow, head);
    glEndList();
}

void DirectionArrowLists::Draw(const SurfaceSection& s, GLUquadric* arrow, double head) const
{
    const auto found = entries_.find(&s);
    if (found != entries_.end() && found->second.used && Matches(found->second, s, arrow, head))
        glCallList(found->second.list);
    else
        DrawDirectionArrows(s, arrow, head);
}

void DirectionArrowLists::Sweep()
{
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.used) {
            it->second.used = false;
            ++it;
            continue;
        }
        glDeleteLists(it->second.list, 1);
        it = entries_.erase(it);
    }
}

void DirectionArrowLists::Release()
{
    for (const auto& [surface, entry] : entries_) glDeleteLists(entry.list, 1);
    entries_.clear();
}

} // namespace render
