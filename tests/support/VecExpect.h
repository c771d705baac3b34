#pragma once

#include "geometry/Vec3.h"

#include <gtest/gtest.h>

// Component-wise comparison of two vectors within a tolerance.
inline void expectVecNear(const Vec3& a, const Vec3& b, double tol)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}
