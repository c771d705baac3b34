#pragma once

#include "geometry/Vec3.h"
#include "platform/BlockMemory.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Samples one mesh of a surface may hold, whatever its stored sampling
// settings ask for: 200 x 200, five times the densest mesh the default
// sampling gives (83 x 99 at 20 points and 24 sections).
inline constexpr int kMaxMeshSamples = 40000;

// Three single-precision coordinates. Points the spline kernel computes are
// floats widened to double, so they round-trip through this exactly.
struct PackedPoint {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    static PackedPoint from(const Vec3& p)
    {
        return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
    }
    Vec3 widened() const { return {x, y, z}; }
};

// Sample parameters of a grid: the sampling walk's u per column and v per row.
class SampleParameters {
public:
    // Walks rows x columns samples over [0, 1] in both directions.
    void Walk(int rows, int columns);
    void Clear();
    double u(int column) const { return u_[static_cast<std::size_t>(column)]; }
    double v(int row) const { return v_[static_cast<std::size_t>(row)]; }
    int rows() const { return static_cast<int>(v_.size()); }
    int columns() const { return static_cast<int>(u_.size()); }
    std::size_t Bytes() const { return (u_.capacity() + v_.capacity()) * sizeof(double); }

private:
    std::vector<double> u_, v_;
};

// One sample of the display mesh as drawing uses it: parameters, point, unit
// normal and Gaussian curvature. Colours are computed from these on demand.
struct DisplaySample {
    double u = 0.0, v = 0.0;
    Vec3 point;
    Vec3 N;
    double K = 0.0;
};

// The display mesh: rows (v) of columns (u) samples, kept in single
// precision because only drawing reads them.
class DisplayMesh {
public:
    void Resize(int rows, int columns);
    void Clear();
    bool empty() const { return samples_.empty(); }
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    const SampleParameters& parameters() const { return parameters_; }

    void Set(int row, int column, const Vec3& point, const Vec3& N, double K);
    DisplaySample At(int row, int column) const;
    double CurvatureAt(int row, int column) const { return sample(row, column).K; }
    std::size_t Bytes() const;

private:
    struct Packed {
        PackedPoint point, N;
        float K = 0.0f;
    };
    const Packed& sample(int row, int column) const
    {
        return samples_[static_cast<std::size_t>(row) * columns_ + column];
    }

    int rows_ = 0, columns_ = 0;
    SampleParameters parameters_;
    BlockArray<Packed> samples_;
};

// One sample of the collision mesh, as the intersection search reads it.
struct CollisionSample {
    double u = 0.0, v = 0.0;
    Vec3 point;
};

// The collision mesh: rows (v) of columns (u) points, each with a `visited`
// mark set by the intersection search (physics thread) and read by the
// overlay drawing (render thread). Points are kernel results, stored exactly.
class CollisionMesh {
public:
    void Resize(int rows, int columns);
    void Clear();
    explicit operator bool() const { return static_cast<bool>(points_); }
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    const SampleParameters& parameters() const { return parameters_; }

    void SetPoint(int row, int column, const Vec3& p) { points_[index(row, column)] = PackedPoint::from(p); }
    Vec3 Point(int row, int column) const { return points_[index(row, column)].widened(); }
    CollisionSample At(int row, int column) const
    {
        return {parameters_.u(column), parameters_.v(row), Point(row, column)};
    }
    std::atomic<std::uint8_t>& Visited(int row, int column) const { return visited_[index(row, column)]; }
    std::size_t Bytes() const;

private:
    std::size_t index(int row, int column) const { return static_cast<std::size_t>(row) * columns_ + column; }

    int rows_ = 0, columns_ = 0;
    SampleParameters parameters_;
    BlockArray<PackedPoint> points_;
    BlockArray<std::atomic<std::uint8_t>> visited_;
};

// Axis-aligned box.
struct BoxRecord {
    double xMin = 0.0, xMax = 0.0, zMin = 0.0, zMax = 0.0, yMin = 0.0, yMax = 0.0;

    // Corner k (0..7) for drawing: bottom face (y = yMin) counter-clockwise
    // from (xMin, zMin), then the top face in the same order.
    Vec3 corner(int k) const;
    bool contains(const Vec3& p) const;
    // True when the segment from a to b meets the box (slab test).
    bool crossedBy(const Vec3& a, const Vec3& b) const;
    // The box grown by r on every side.
    BoxRecord inflated(double r) const;
};
