#pragma once

#include "surface/Meshes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

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

// The binary tree of boxes over a collision mesh. Each inner node halves the
// longer index span of its range (the middle row or column belongs to both
// halves) until one quad remains, so the shape of the tree follows from the
// mesh size alone: nodes are stored in pre-order and only their tight boxes
// (in single precision, exact for the mesh's points) and their two marks are
// kept. Inflated boxes come from the tight ones and the ball radius. The
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
    const LeafNormals& normalsOf(const BoxNode& leaf) const
    {
        return normals_[static_cast<std::size_t>(leaf.v0) * (columns_ - 1) + leaf.u0];
    }

    // Marks set by the intersection search (physics thread) for the box overlays
    // (render thread): `entered` when the segment reached the box, `hit` on a
    // leaf where a triangle was hit.
    std::atomic<std::uint8_t>& hit(const BoxNode& node) const { return hit_[node.index]; }
    std::atomic<std::uint8_t>& entered(const BoxNode& node) const { return entered_[node.index]; }

    int depth() const { return depth_; } // of the deepest leaf
    int nodeCount() const { return nodeCount_; }
    std::size_t Bytes() const;

private:
    struct PackedBox {
        float xMin, xMax, zMin, zMax, yMin, yMax;
    };
    PackedBox build(const CollisionMesh& mesh, const BoxNode& node);
    bool splitsColumns(const BoxNode& node) const { return node.spanU() > node.spanV(); }

    int rows_ = 0, columns_ = 0, nodeCount_ = 0, depth_ = 0;
    std::unique_ptr<PackedBox[]> boxes_;
    std::unique_ptr<LeafNormals[]> normals_; // per quad, row-major
    std::unique_ptr<std::atomic<std::uint8_t>[]> hit_, entered_;
};
