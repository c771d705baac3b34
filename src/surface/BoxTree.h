#pragma once

#include "surface/Meshes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// One node of a box tree, as a walk meets it: its place in the tree's
// pre-order and the inclusive column and row ranges of the collision mesh it
// covers. A node holding one quad is a leaf.
struct BoxNode {
    std::int32_t index = 0;
    std::int32_t depth = 0; // 0 for the root
    std::int32_t u0 = 0, u1 = 0, v0 = 0, v1 = 0;

    std::int32_t spanU() const { return u1 - u0; }
    std::int32_t spanV() const { return v1 - v0; }
    bool leaf() const { return spanU() <= 1 && spanV() <= 1; }
};

// Unit normals of a leaf's two triangles, (A, C', D) then (A, B, C') with
// A = (u0, v0), B = (u0 + 1, v0), C' = (u0 + 1, v0 + 1), D = (u0, v0 + 1)
// (column, row); both negated on a surface with reversed normals.
struct LeafNormals {
    Vec3 normal1, normal2;
};
LeafNormals LeafTriangleNormals(const CollisionMesh& mesh, const BoxNode& leaf, bool reverseNormal);

// A node of the tree as a walk over the flat pre-order array meets it: the
// tight box (single precision, exact for the mesh's points) and a link. An
// inner node's link is the index just past its subtree, where the walk goes
// on when the segment misses the box (its first child is the next index); a
// leaf's link is ~(row << 16 | column) of its quad, always negative.
struct WalkNode {
    // Per axis (x, z, y) its low then high bound: xMin, xMax, zMin, zMax, yMin, yMax.
    float bounds[6];
    std::int32_t link;

    float low(int axis) const { return bounds[2 * axis]; }
    float high(int axis) const { return bounds[2 * axis + 1]; }
    BoxRecord tight() const { return {bounds[0], bounds[1], bounds[2], bounds[3], bounds[4], bounds[5]}; }
    bool leaf() const { return link < 0; }
    std::int32_t row() const { return ~link >> 16; }
    std::int32_t column() const { return ~link & 0xffff; }
    // Where the walk goes on from node i when it skips the node's subtree.
    std::int32_t skip(std::int32_t i) const { return link < 0 ? i + 1 : link; }
};

// The binary tree of boxes over a collision mesh. Each inner node halves the
// longer index span of its range (the middle row or column belongs to both
// halves) until one quad remains, so the shape of the tree follows from the
// mesh size alone: nodes are stored in pre-order as WalkNodes (tight box and
// link) with their two marks. Inflated boxes come from the tight ones and the ball radius. The
// leaves' triangle normals, which the search reads on every leaf it reaches,
// are kept per quad in double precision.
class BoxTree {
public:
    // Builds the tree over all points of `mesh` (at least 2 x 2).
    BoxTree(const CollisionMesh& mesh, bool reverseNormal);

    BoxRecord tight; // box of every point of the mesh, the root's

    BoxNode root() const { return {0, 0, 0, columns_ - 1, 0, rows_ - 1}; }
    // Children of an inner node: the lower half, then the upper half.
    BoxNode first(const BoxNode& node) const;
    BoxNode second(const BoxNode& node) const;
    BoxRecord tightOf(const BoxNode& node) const;
    BoxRecord inflatedOf(const BoxNode& node, double radius) const { return tightOf(node).inflated(radius); }
    // The nodes in pre-order, nodeCount() of them; the root is the first.
    const WalkNode* walkNodes() const { return nodes_.get(); }
    const LeafNormals& normalsOf(const BoxNode& leaf) const
    {
        return normalsAt(leaf.v0, leaf.u0);
    }
    const LeafNormals& normalsAt(std::int32_t row, std::int32_t column) const
    {
        return normals_[static_cast<std::size_t>(row) * (columns_ - 1) + column];
    }

    // Marks set by the intersection search (physics thread) for the box overlays
    // (render thread) while they are shown: `entered` when the segment reached
    // the box, `hit` on a leaf where a triangle was hit.
    std::atomic<std::uint8_t>& hit(const BoxNode& node) const { return hit_[node.index]; }
    std::atomic<std::uint8_t>& entered(const BoxNode& node) const { return entered_[node.index]; }
    std::atomic<std::uint8_t>& hitAt(std::int32_t index) const { return hit_[index]; }
    // The search's side of the marks: it enters boxes through markEntered,
    // which also lists them, so that clearMarks resets exactly the boxes of
    // the last search. The list belongs to the thread that searches.
    void markEntered(std::int32_t index) const
    {
        entered_[index].store(1, std::memory_order_relaxed);
        marked_.push_back(index);
    }
    void clearMarks() const;

    int depth() const { return depth_; } // of the deepest leaf
    int nodeCount() const { return nodeCount_; }
    std::size_t Bytes() const;

private:
    WalkNode build(const CollisionMesh& mesh, const BoxNode& node);
    bool splitsColumns(const BoxNode& node) const { return node.spanU() > node.spanV(); }

    int rows_ = 0, columns_ = 0, nodeCount_ = 0, depth_ = 0;
    BlockArray<WalkNode> nodes_;
    BlockArray<LeafNormals> normals_; // per quad, row-major
    BlockArray<std::atomic<std::uint8_t>> hit_, entered_;
    // Scratch of the searching thread (a few dozen entries), left out of Bytes,
    // which other threads may call.
    mutable std::vector<std::int32_t> marked_;
};
