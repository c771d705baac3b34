#pragma once

// A spline net for the kernel's tests, evaluated by its single-point routines.

#include "gul/Basis.h"
#include "gul/SurfaceEval.h"

#include <cmath>

namespace builders {

// (n + 1) x (m + 1) net of degree (p, q) over a wavy height field; weights
// vary over the net when rational is set.
struct WavyNet {
    int n, p, m, q;
    gul::Ptr<float> U, V;
    gul::Ptr2<gul::HPoint4f> Pw;

    WavyNet(int rows, int degreeU, int columns, int degreeV, bool rational)
        : n(rows - 1), p(degreeU), m(columns - 1), q(degreeV), U(gul::UniformKnots(rows - 1, degreeU)),
          V(gul::UniformKnots(columns - 1, degreeV)), Pw(gul::makeArray2<gul::HPoint4f>(rows, columns))
    {
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j <= m; ++j) {
                const float w = rational ? 0.5f + 0.25f * static_cast<float>((i * 3 + j) % 5) : 1.0f;
                const float x = 1.7f * i, y = std::sin(0.7f * i + 0.4f * j), z = 2.0f * j + 0.1f * i * j;
                Pw[i][j] = {x * w, y * w, z * w, w};
            }
    }

    gul::Point3f point(float u, float v) const { return gul::RationalSurfacePoint(u, v, n, p, U, m, q, V, Pw); }
    gul::Ptr2<gul::Point3f> derivatives(float u, float v) const
    {
        return gul::RationalSurfaceDerivatives(u, v, n, p, U, m, q, V, Pw, 2);
    }
    void derivatives(float u, float v, int order, gul::SecondOrderDerivatives& out) const
    {
        gul::RationalSurfaceDerivatives(u, v, n, p, U, m, q, V, Pw, order, out);
    }
};

} // namespace builders
