#include "render/SurfaceDrawing.h"

#include "render/DirectionArrows.h"
#include "render/EdgeClipping.h"
#include "render/OutlineFont.h"
#include "surface/ColorRamp.h"
#include "surface/SurfaceKernel.h"
#include "surface/SurfaceSection.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

#include <algorithm>
#include <cmath>
#include <vector>

namespace render {

namespace {

void vertex(const Vec3& p) { glVertex3d(p.x, p.y, p.z); }
void normal(const Vec3& n) { glNormal3d(n.x, n.y, n.z); }
void colorOf(const Vec3& c) { glColor3d(c.x, c.y, c.z); }
void color255(int r, int g, int b)
{
    glColor3ub(static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b));
}
void constantColor(const SurfaceSection& s)
{
    auto byte = [](double c) { return static_cast<GLubyte>(std::clamp(c, 0.0, 255.0)); };
    glColor3ub(byte(s.constantColor.x), byte(s.constantColor.y), byte(s.constantColor.z));
}

// A display sample at any (u, v), evaluated as the mesh sampling does.
DisplaySample evaluateSample(SurfaceSection& s, double u, double v)
{
    const SurfaceDerivatives der = s.EvaluateDerivatives(u, v);
    return {u, v, s.EvaluatePoint(u, v), der.N, der.K};
}

// The sample at t along the edge from a to b: the nodes themselves at the
// ends, a fresh evaluation between them.
DisplaySample sampleAlong(SurfaceSection& s, const DisplaySample& a, const DisplaySample& b, double t)
{
    if (t == 0.0) return a;
    if (t == 1.0) return b;
    return evaluateSample(s, a.u + t * (b.u - a.u), a.v + t * (b.v - a.v));
}

// Lines take the height colour in "Height" and the tangent-angle colour in
// "Tangent angle" and "Curvature".
Vec3 lineColor(const SurfaceSection& s, const DisplaySample& d, Coloring coloring)
{
    return coloring == Coloring::Height ? HeightColor(d.point.y, s.heightMin, s.heightRange) : AngleColor(d.N);
}
Vec3 triangleColor(const SurfaceSection& s, const DisplaySample& d, Coloring coloring)
{
    if (coloring == Coloring::Height) return HeightColor(d.point.y, s.heightMin, s.heightRange);
    if (coloring == Coloring::Curvature) return CurvatureColor(d.K, s.curvatureScale);
    return AngleColor(d.N);
}

struct BoundaryPiece {
    SiteEdge edge;
    DisplaySample first, second;
};

// Compiles the mesh edges, triangles and hole outlines of one surface.
class MeshCompiler {
public:
    explicit MeshCompiler(SurfaceSection& s) : s_(s), coloring_(s.coloring) {}

    void Compile()
    {
        if (s_.displayRows < 2 || s_.displayColumns < 2) return;
        if (s_.showSurfaceLines) Lines();
        if (s_.showSurfaceTriangles) Triangles();
        if (s_.showHoles) HoleOutlines();
    }

private:
    DisplaySample at(int i, int j) const { return s_.displaySample(i, j); }

    void Lines()
    {
        if (coloring_ == Coloring::Constant) constantColor(s_);
        glLineWidth(1.0f);
        glBegin(GL_LINES);
        for (int i = 0; i + 1 < s_.displayRows; ++i)
            for (int j = 0; j + 1 < s_.displayColumns; ++j) {
                const DisplaySample A = at(i, j), B = at(i, j + 1), C = at(i + 1, j), D = at(i + 1, j + 1);
                if (A.u == 0.0) Edge(C, A);
                if (A.v == 0.0) Edge(A, B);
                Edge(B, D);
                Edge(D, C);
                if (s_.flipDiagonals == 0)
                    Edge(A, D);
                else
                    Edge(B, C);
            }
        glEnd();

        glLineWidth(5.0f);
        glBegin(GL_LINES);
        for (const BoundaryPiece& piece : boundary_) {
            LineVertex(piece.first);
            LineVertex(piece.second);
        }
        glEnd();
    }

    // One mesh edge: holes cut out, boundary pieces kept for the thick pass.
    void Edge(const DisplaySample& a, const DisplaySample& b)
    {
        const ParamPoint pa{a.u, a.v}, pb{b.u, b.v};
        const std::vector<EdgePiece> pieces =
            s_.showHoles ? ClipEdgeByHoles(pa, pb, s_.holes) : std::vector<EdgePiece>{{0.0, 1.0}};
        for (const EdgePiece& piece : pieces) {
            const DisplaySample first = sampleAlong(s_, a, b, piece.t0);
            const DisplaySample second = sampleAlong(s_, a, b, piece.t1);
            if (const auto edge = BoundaryOf({first.u, first.v}, {second.u, second.v})) {
                AddBoundary(*edge, first, second);
                continue;
            }
            LineVertex(first);
            LineVertex(second);
        }
    }

    void AddBoundary(SiteEdge edge, const DisplaySample& first, const DisplaySample& second)
    {
        const int index = static_cast<int>(edge);
        if (!splitsKnown_[index]) {
            splits_[index] = BoundarySplitValues(s_, edge);
            splitsKnown_[index] = true;
        }
        for (const EdgePiece& p : SplitBoundaryPiece({first.u, first.v}, {second.u, second.v}, edge, splits_[index]))
            boundary_.push_back({edge, sampleAlong(s_, first, second, p.t0), sampleAlong(s_, first, second, p.t1)});
    }

    void LineVertex(const DisplaySample& d) const
    {
        if (coloring_ != Coloring::Constant) colorOf(lineColor(s_, d, coloring_));
        normal(d.N);
        vertex(d.point);
    }

    void Triangles()
    {
        if (coloring_ == Coloring::Constant) constantColor(s_);
        glBegin(GL_TRIANGLES);
        for (int i = 0; i + 1 < s_.displayRows; ++i)
            for (int j = 0; j + 1 < s_.displayColumns; ++j) {
                const DisplaySample A = at(i, j), B = at(i, j + 1), C = at(i + 1, j), D = at(i + 1, j + 1);
                // Counter-clockwise about Su x Sv; reversed when the normal is.
                if (s_.flipDiagonals == 0) {
                    Triangle(A, B, D);
                    Triangle(A, D, C);
                } else {
                    Triangle(A, B, C);
                    Triangle(B, D, C);
                }
            }
        glEnd();
    }

    void Triangle(const DisplaySample& p0, const DisplaySample& p1, const DisplaySample& p2) const
    {
        const DisplaySample* v[3] = {&p0, &p1, &p2};
        if (s_.reverseNormal) std::swap(v[1], v[2]);
        normal(normalized(cross(v[1]->point - v[0]->point, v[2]->point - v[0]->point)));
        for (const DisplaySample* d : v) {
            if (coloring_ != Coloring::Constant) colorOf(triangleColor(s_, *d, coloring_));
            vertex(d->point);
        }
    }

    void HoleOutlines()
    {
        glLineWidth(5.0f);
        constantColor(s_);
        glBegin(GL_LINES);
        const int perSideU = std::max(2, s_.displayColumns), perSideV = std::max(2, s_.displayRows);
        for (const SurfaceHole& h : s_.holes) {
            const double u0 = std::clamp(h.rightLeftLow, 0.0, 1.0), u1 = std::clamp(h.rightLeftHigh, 0.0, 1.0);
            const double v0 = std::clamp(h.frontBackLow, 0.0, 1.0), v1 = std::clamp(h.frontBackHigh, 0.0, 1.0);
            Side({u0, v0}, {u1, v0}, perSideU);
            Side({u1, v0}, {u1, v1}, perSideV);
            Side({u1, v1}, {u0, v1}, perSideU);
            Side({u0, v1}, {u0, v0}, perSideV);
        }
        glEnd();
    }

    // One side of a hole, sampled along the surface in n - 1 segments.
    void Side(ParamPoint from, ParamPoint to, int n) const
    {
        Vec3 previous = s_.EvaluatePoint(from.u, from.v);
        for (int k = 1; k < n; ++k) {
            const double t = static_cast<double>(k) / (n - 1);
            const Vec3 p = s_.EvaluatePoint(from.u + t * (to.u - from.u), from.v + t * (to.v - from.v));
            vertex(previous);
            vertex(p);
            previous = p;
        }
    }

    SurfaceSection& s_;
    Coloring coloring_;
    std::vector<BoundaryPiece> boundary_;
    std::vector<double> splits_[4];
    bool splitsKnown_[4] = {false, false, false, false};
};

// The world point of a site's edge at parameter t.
Vec3 edgePoint(SurfaceSection& s, SiteEdge edge, double t)
{
    switch (edge) {
    case SiteEdge::Begin: return s.EvaluatePoint(t, 0.0);
    case SiteEdge::End: return s.EvaluatePoint(t, 1.0);
    case SiteEdge::Left: return s.EvaluatePoint(0.0, t);
    case SiteEdge::Right: return s.EvaluatePoint(1.0, t);
    }
    return {};
}

void compileSites(SurfaceSection& s)
{
    glLineWidth(10.0f);
    color255(200, 0, 0);
    glBegin(GL_LINES);
    for (const AttachmentSite& site : s.attachmentSites) {
        const int n = static_cast<int>((site.high - site.low) / 0.05);
        if (n <= 0) continue;
        const double step = (site.high - site.low) / n;
        Vec3 previous = edgePoint(s, site.edge(), site.low);
        for (int k = 1; k <= n; ++k) {
            const Vec3 p = edgePoint(s, site.edge(), site.low + k * step);
            vertex(previous);
            vertex(p);
            previous = p;
        }
    }
    glEnd();
}

// Compiles the cached list of one kind when it is stale; returns whether it did.
template <class Compile>
bool compileIfStale(SurfaceSection& s, int kind, std::int64_t* counter, Compile compile)
{
    DrawingCache& cache = s.drawingCache;
    if (cache.valid[kind].load(std::memory_order_acquire)) return false;
    if (cache.listId[kind] != -1) glDeleteLists(static_cast<GLuint>(cache.listId[kind]), 1);
    // Marked valid before compiling: a change made meanwhile marks it stale again.
    cache.valid[kind].store(true, std::memory_order_release);
    const GLuint list = glGenLists(1);
    cache.listId[kind] = static_cast<std::int32_t>(list);
    glNewList(list, GL_COMPILE);
    compile();
    glEndList();
    if (counter) ++*counter;
    return true;
}

// Calls the cached list of one kind as it was last compiled (none yet: nothing).
void callList(const SurfaceSection& s, int kind)
{
    const std::int32_t list = s.drawingCache.listId[kind];
    if (list != -1) glCallList(static_cast<GLuint>(list));
}

void compileMeshList(SurfaceSection& s, const SurfaceDrawTools& tools)
{
    if (compileIfStale(s, DrawingCache::kMesh, tools.counters ? &tools.counters->meshLists : nullptr,
                       [&] { MeshCompiler(s).Compile(); }) &&
        tools.meshListCompiled && *tools.meshListCompiled)
        (*tools.meshListCompiled)();
}

// The net's homogeneous control point, divided by its weight.
Vec3 controlPoint(SurfaceSection& s, int section, int point)
{
    const gul::HPoint4f& p = s.controlNet[section][point];
    const double w = p.w != 0.0f ? p.w : 1.0;
    return {p.x / w, p.y / w, p.z / w};
}

void drawControlNet(SurfaceSection& s, bool lines, bool triangles)
{
    if (!s.hasNet()) return;
    LockGuard kernel(KernelLockOf(s.document));
    glLineWidth(1.0f);
    for (int i = 0; i + 1 < s.sectionCount; ++i)
        for (int j = 0; j + 1 < s.pointsPerSection; ++j) {
            const Vec3 c[4] = {controlPoint(s, i, j), controlPoint(s, i, j + 1), controlPoint(s, i + 1, j + 1),
                               controlPoint(s, i + 1, j)};
            if (lines) {
                if (s.coloring == Coloring::Constant) constantColor(s);
                glBegin(GL_LINE_STRIP);
                for (int k : {0, 1, 2, 3, 0}) {
                    if (s.coloring != Coloring::Constant) colorOf(HeightColor(c[k].y, s.heightMin, s.heightRange));
                    vertex(c[k]);
                }
                if (s.closeControlStrips) vertex(c[2]);
                glEnd();
            }
            if (triangles) {
                constantColor(s);
                glBegin(GL_TRIANGLES);
                const int corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
                for (const auto& t : corners) {
                    normal(normalized(cross(c[t[1]] - c[t[0]], c[t[2]] - c[t[0]])));
                    for (int k : t) vertex(c[k]);
                }
                glEnd();
            }
        }
}

// Head size of the direction arrows in the design display.
constexpr double kDesignArrowHead = 0.666;

void boxLines(const BoxRecord& box)
{
    for (int face : {0, 4}) {
        glBegin(GL_LINE_LOOP);
        for (int k = 0; k < 4; ++k) vertex(box.corner(face + k));
        glEnd();
    }
    glBegin(GL_LINES);
    for (int k = 0; k < 4; ++k) {
        vertex(box.corner(k));
        vertex(box.corner(k + 4));
    }
    glEnd();
}

void drawSelectionBox(const SurfaceSection& s)
{
    if (!s.boxTree) return;
    glLineWidth(5.0f);
    color255(255, 255, 255);
    boxLines(s.boxTree->tight);
}

// Four copies of the name at the corners of the top of the bounding box,
// turned about the vertical to face four ways.
void drawName(const SurfaceSection& s, const OutlineFont& font)
{
    if (!s.boxTree || !font.built()) return;
    color255(0, 200, 0);
    const double angles[4] = {-90.0, 90.0, 180.0, 0.0};
    for (int k = 0; k < 4; ++k) {
        const Vec3 corner = s.boxTree->tight.corner(4 + k);
        glPushMatrix();
        glTranslated(corner.x, corner.y, corner.z);
        glRotated(angles[k], 0.0, 1.0, 0.0);
        font.Draw(textOf(s.name));
        glPopMatrix();
    }
}

void drawIntersectionMesh(const SurfaceSection& s, bool fillHit)
{
    if (!s.collisionMesh || s.collisionRows < 2 || s.collisionColumns < 2) return;
    glLineWidth(1.0f);
    color255(0, 0, 200);
    for (int i = 0; i + 1 < s.collisionRows; ++i)
        for (int j = 0; j + 1 < s.collisionColumns; ++j) {
            const CollisionMesh& m = s.collisionMesh;
            const Vec3 A = m.Point(i, j), B = m.Point(i, j + 1), C = m.Point(i + 1, j + 1), D = m.Point(i + 1, j);
            const Vec3* triangles[2][3] = {{&A, &C, &D}, {&A, &B, &C}};
            for (const auto& t : triangles) {
                glBegin(GL_LINE_LOOP);
                for (const Vec3* p : t) vertex(*p);
                glEnd();
            }
        }
    if (!fillHit) return;
    // A triangle the last search tested has all its nodes visited.
    auto visited = [&](int i, int j) { return s.collisionMesh.Visited(i, j).load(std::memory_order_relaxed) != 0; };
    color255(255, 255, 255);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i + 1 < s.collisionRows; ++i)
        for (int j = 0; j + 1 < s.collisionColumns; ++j) {
            const bool a = visited(i, j), b = visited(i, j + 1), c = visited(i + 1, j + 1), d = visited(i + 1, j);
            const CollisionMesh& m = s.collisionMesh;
            const Vec3 A = m.Point(i, j), B = m.Point(i, j + 1), C = m.Point(i + 1, j + 1), D = m.Point(i + 1, j);
            auto fill = [](const Vec3& p0, const Vec3& p1, const Vec3& p2) {
                normal(normalized(cross(p1 - p0, p2 - p0)));
                vertex(p0);
                vertex(p1);
                vertex(p2);
            };
            if (a && c && d) fill(A, C, D);
            if (a && b && c) fill(A, B, C);
        }
    glEnd();
}

// Marks only ever form a subtree hanging from the root, so the walk for the
// marked boxes stops at the first unmarked one.
void drawBoxNode(const BoxTree& tree, const BoxNode& node, int depth, bool all)
{
    const bool marked =
        tree.hit(node).load(std::memory_order_relaxed) || tree.entered(node).load(std::memory_order_relaxed);
    if (!all && !marked) return;
    const int level = node.depth;
    if (level >= depth - 2) {
        glLineWidth(static_cast<GLfloat>(depth - level + 1));
        colorOf(RampColor(static_cast<double>(level) / (depth + 1)));
        boxLines(tree.tightOf(node));
    }
    if (node.leaf()) return;
    drawBoxNode(tree, tree.first(node), depth, all);
    drawBoxNode(tree, tree.second(node), depth, all);
}

// A cross section's own curve across the channel, 120 points.
void drawSection(const SurfaceSection& s, int section)
{
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k < 120; ++k) vertex(KernelSectionPoint(s, section, k / 119.0));
    glEnd();
}

// The cross-section dialogs highlight the sections they have chosen; the
// channel editors show the first and last sections.
void drawEditingPreview(SurfaceSection& s, GLUquadric* arrow)
{
    DrawDirectionArrows(s, arrow, 0.5);
    drawControlNet(s, true, false);
    glLineWidth(5.0f);
    color255(0, 200, 0);
    if (s.editingShape) {
        const std::uint32_t chosen = s.highlightedSections.load();
        for (int i = 0; i < std::min(s.sectionCount, kMaxSections); ++i)
            if (chosen & (1u << i)) drawSection(s, i);
        return;
    }
    drawSection(s, 0);
    color255(0, 0, 200);
    drawSection(s, s.sectionCount - 1);
}

} // namespace

void CompileSurfaceLists(SurfaceSection& s, const SurfaceDrawOptions& options, const SurfaceDrawTools& tools)
{
    if (s.render.load() != 1) return;
    LockGuard guard(s.geometryLock);
    if (s.editingSections) return;
    if (options.runMode) {
        compileMeshList(s, tools);
        return;
    }
    compileMeshList(s, tools);
    if (s.showDirections && tools.directionArrows) tools.directionArrows->Prepare(s, tools.arrow, kDesignArrowHead);
    if (s.showAttachmentSites)
        compileIfStale(s, DrawingCache::kSites, tools.counters ? &tools.counters->siteLists : nullptr,
                       [&] { compileSites(s); });
}

void DrawSurface(SurfaceSection& s, const SurfaceDrawOptions& options, const SurfaceDrawTools& tools)
{
    if (s.render.load() != 1) return;
    LockGuard guard(s.geometryLock);
    // A surface open in an editor shows the edit as it goes, whatever the
    // mode: its mesh keeps the geometry from before the edit until it is saved.
    if (s.editingSections) {
        drawEditingPreview(s, tools.arrow);
        return;
    }
    if (options.runMode) {
        callList(s, DrawingCache::kMesh);
        if (options.showImpactIntersections || s.showIntersectionMesh)
            drawIntersectionMesh(s, options.showImpactIntersections);
        if (options.showAllBoundingBoxes || options.showBoundingBoxes)
            if (s.boxTree) drawBoxNode(*s.boxTree, s.boxTree->root(), s.boxTreeDepth, options.showAllBoundingBoxes);
        return;
    }
    callList(s, DrawingCache::kMesh);
    if (s.showControlLines || s.showControlTriangles) drawControlNet(s, s.showControlLines, s.showControlTriangles);
    if (s.showDirections) {
        if (tools.directionArrows)
            tools.directionArrows->Draw(s, tools.arrow, kDesignArrowHead);
        else
            DrawDirectionArrows(s, tools.arrow, kDesignArrowHead);
    }
    if (s.showAttachmentSites) callList(s, DrawingCache::kSites);
    if (options.selected) {
        drawSelectionBox(s);
        if (s.showName && tools.font) drawName(s, *tools.font);
    }
}

} // namespace render
