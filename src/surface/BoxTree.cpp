#include "surface/BoxTree.h"

#include "geometry/Plane.h"

#include <algorithm>

namespace {

// Nodes of the subtree over a range of `quads` quads: every inner node has two
// children and every quad is one leaf.
int subtreeNodes(int quads) { return 2 * quads - 1; }

// A leaf's link keeps its row and column in 16 bits each and stays negative.
static_assert(kMaxMeshSamples / 2 < (1 << 15), "mesh indices must fit a leaf's link");

} // namespace

BoxTree::BoxTree(const CollisionMesh& mesh, bool reverseNormal)
    : rows_(mesh.rows()), columns_(mesh.columns()), nodeCount_(subtreeNodes((rows_ - 1) * (columns_ - 1))),
      nodes_(static_cast<std::size_t>(nodeCount_)),
      normals_(static_cast<std::size_t>(rows_ - 1) * (columns_ - 1)), hit_(static_cast<std::size_t>(nodeCount_)),
      entered_(static_cast<std::size_t>(nodeCount_))
{
    build(mesh, root());
    tight = tightOf(root());
    for (int i = 0; i + 1 < rows_; ++i)
        for (int j = 0; j + 1 < columns_; ++j)
            normals_[static_cast<std::size_t>(i) * (columns_ - 1) + j] =
                LeafTriangleNormals(mesh, {0, 0, j, j + 1, i, i + 1}, reverseNormal);
}

BoxNode BoxTree::first(const BoxNode& node) const
{
    BoxNode child = node;
    child.index = node.index + 1;
    child.depth = node.depth + 1;
    if (splitsColumns(node))
        child.u1 = node.u0 + node.spanU() / 2;
    else
        child.v1 = node.v0 + node.spanV() / 2;
    return child;
}

BoxNode BoxTree::second(const BoxNode& node) const
{
    BoxNode child = node;
    child.depth = node.depth + 1;
    int firstQuads = 0;
    if (splitsColumns(node)) {
        child.u0 = node.u0 + node.spanU() / 2;
        firstQuads = (child.u0 - node.u0) * node.spanV();
    } else {
        child.v0 = node.v0 + node.spanV() / 2;
        firstQuads = node.spanU() * (child.v0 - node.v0);
    }
    child.index = node.index + 1 + subtreeNodes(firstQuads);
    return child;
}

BoxRecord BoxTree::tightOf(const BoxNode& node) const
{
    return nodes_[node.index].tight();
}

void BoxTree::clearMarks() const
{
    for (const std::int32_t index : marked_) {
        entered_[index].store(0, std::memory_order_relaxed);
        hit_[index].store(0, std::memory_order_relaxed);
    }
    marked_.clear();
}

std::size_t BoxTree::Bytes() const
{
    const std::size_t quads = static_cast<std::size_t>(rows_ - 1) * (columns_ - 1);
    return static_cast<std::size_t>(nodeCount_) * (sizeof(WalkNode) + 2 * sizeof(std::atomic<std::uint8_t>)) +
           quads * sizeof(LeafNormals);
}

// Children are built first and a parent's box is the union of theirs, which
// equals the box of its points because the halves share their middle row or
// column. A leaf's box starts from 99999 and -99999, so that points that are
// not numbers leave those bounds.
WalkNode BoxTree::build(const CollisionMesh& mesh, const BoxNode& node)
{
    depth_ = std::max(depth_, node.depth);
    WalkNode box{};
    if (!node.leaf()) {
        const WalkNode a = build(mesh, first(node));
        const BoxNode upper = second(node);
        const WalkNode b = build(mesh, upper);
        const std::int32_t end = upper.index + subtreeNodes(upper.spanU() * upper.spanV());
        for (int k = 0; k < 6; k += 2) {
            box.bounds[k] = std::min(a.bounds[k], b.bounds[k]);
            box.bounds[k + 1] = std::max(a.bounds[k + 1], b.bounds[k + 1]);
        }
        box.link = end;
    } else {
        box = {{99999.0f, -99999.0f, 99999.0f, -99999.0f, 99999.0f, -99999.0f}, ~(node.v0 << 16 | node.u0)};
        for (int i = node.v0; i <= node.v1; ++i)
            for (int j = node.u0; j <= node.u1; ++j) {
                const Vec3 p = mesh.Point(i, j);
                const float x = static_cast<float>(p.x), y = static_cast<float>(p.y), z = static_cast<float>(p.z);
                const float coordinate[3] = {x, z, y};
                for (int k = 0; k < 3; ++k) {
                    box.bounds[2 * k] = std::min(box.bounds[2 * k], coordinate[k]);
                    box.bounds[2 * k + 1] = std::max(box.bounds[2 * k + 1], coordinate[k]);
                }
            }
    }
    nodes_[node.index] = box;
    return box;
}

LeafNormals LeafTriangleNormals(const CollisionMesh& mesh, const BoxNode& leaf, bool reverseNormal)
{
    const Vec3 A = mesh.Point(leaf.v0, leaf.u0);
    const Vec3 B = mesh.Point(leaf.v0, leaf.u0 + 1);
    const Vec3 C = mesh.Point(leaf.v0 + 1, leaf.u0 + 1);
    const Vec3 D = mesh.Point(leaf.v0 + 1, leaf.u0);
    LeafNormals n{PlaneFromPoints(A, C, D).normal, PlaneFromPoints(A, B, C).normal};
    if (reverseNormal) {
        n.normal1 = -n.normal1;
        n.normal2 = -n.normal2;
    }
    return n;
}
