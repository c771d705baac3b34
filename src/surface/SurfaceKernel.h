#pragma once

// Every call from a surface into the spline kernel goes through here. The
// kernel runs under the owning document's geometry lock (surfaces without a
// document share a lock of their own); the net's rows are the cross sections,
// so the kernel's first parameter is the surface's v and its second u;
// parameters go in as floats and results come back widened to double.

#include "gul/SurfaceGrid.h"
#include "surface/SurfaceSection.h"

#include <optional>
#include <vector>

// The lock that serialises the kernel calls of the host's surfaces.
Lock& KernelLockOf(SurfaceHost* host);

// The surface point; zero for a surface without a net.
Vec3 KernelPoint(const SurfaceSection& surface, double u, double v);

// Su and Sv, and with order 2 also Suu, Suv and Svv (N and K are left as they
// were). False, with out unchanged, for a surface without a net.
bool KernelPartials(const SurfaceSection& surface, double u, double v, int order, SurfaceDerivatives& out);

// Derivative order the surface's evaluation uses: 2 when both degrees allow
// curvature, else 1.
int EvaluationOrder(const SurfaceSection& surface);

// Unit normal (zero where Su x Sv vanishes, flipped for a reversed surface)
// and Gaussian curvature from the partials.
void CompleteFrame(const SurfaceSection& surface, SurfaceDerivatives& d);

// The surface on a grid of sample parameters, row (v) by row: each row's and
// each column's basis functions are computed once, and every sample gets the
// same bits as KernelPoint and SurfaceSection::EvaluateDerivatives give.
class SurfaceGridKernel {
public:
    // Prepares the columns' and rows' basis values, for points and (with
    // withDerivatives) for the derivatives.
    SurfaceGridKernel(const SurfaceSection& surface, const SampleParameters& at, bool withDerivatives);
    // The same over any increasing parameters: u per column, v per row.
    SurfaceGridKernel(const SurfaceSection& surface, const std::vector<double>& columnsU,
                      const std::vector<double>& rowsV, bool withDerivatives);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // Row i's points, one per column, under one hold of the kernel lock.
    void PointRow(int i, std::vector<Vec3>& out) const;
    // Row i's points, derivatives, normals and curvatures, as KernelPoint and
    // EvaluateDerivatives give them (the points come with the derivatives).
    // Zero samples from a kernel prepared without derivatives.
    void SampleRow(int i, std::vector<Vec3>& points, std::vector<SurfaceDerivatives>& derivatives) const;

private:
    SurfaceGridKernel(const SurfaceSection& surface, const std::vector<float>& columnsU,
                      const std::vector<float>& rowsV, bool withDerivatives);

    const SurfaceSection& surface_;
    int rows_ = 0, columns_ = 0, order_ = 1;
    // First table: the rows' v (the kernel's first direction); second: the columns' u.
    std::optional<gul::BasisTable> pointRows_, pointColumns_, derivativeRows_, derivativeColumns_;
};
