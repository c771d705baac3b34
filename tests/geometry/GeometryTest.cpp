#include "geometry/Matrix4.h"
#include "geometry/Plane.h"
#include "geometry/Quaternion.h"

#include "support/VecExpect.h"

#include <gtest/gtest.h>

namespace {

void expectMatrixNear(const Matrix4& a, const Matrix4& b, double tol = 1e-12)
{
    for (int k = 0; k < 16; ++k) EXPECT_NEAR(a.m[k], b.m[k], tol) << "element " << k;
}

TEST(Vec3Test, ArithmeticAndProducts)
{
    const Vec3 a{1, 2, 3}, b{4, -5, 6};
    EXPECT_EQ(a + b, (Vec3{5, -3, 9}));
    EXPECT_EQ(a - b, (Vec3{-3, 7, -3}));
    EXPECT_EQ(-a, (Vec3{-1, -2, -3}));
    EXPECT_EQ(2.0 * a, a * 2.0);
    EXPECT_EQ(a / 2.0, (Vec3{0.5, 1, 1.5}));
    EXPECT_DOUBLE_EQ(dot(a, b), 4 - 10 + 18);
    EXPECT_EQ(cross(Vec3{1, 0, 0}, Vec3{0, 1, 0}), (Vec3{0, 0, 1}));
    EXPECT_DOUBLE_EQ(dot(cross(a, b), a), 0.0);
    EXPECT_DOUBLE_EQ(length(Vec3{3, 4, 12}), 13.0);
}

TEST(Vec3Test, NormalisingTheZeroVectorLeavesItZeroAndOnlyTinyOnesAreReplaced)
{
    EXPECT_EQ(normalized(Vec3{}), Vec3{});
    Vec3 z;
    EXPECT_EQ(normalize(z), 0.0);
    EXPECT_EQ(z, Vec3{});
    Vec3 a{0, 3, 4};
    EXPECT_DOUBLE_EQ(normalize(a), 5.0);
    expectVecNear(a, {0, 0.6, 0.8}, 1e-12);
    // Only vectors below the threshold are replaced.
    for (auto [v, kept] : {std::pair{Vec3{1e-18, -1e-18, 0}, false}, {Vec3{1e-18, 1e-16, 0}, true}}) {
        const Vec3 before = v;
        replaceIfTiny(v, {1, 0, 0});
        EXPECT_EQ(v, kept ? before : (Vec3{1, 0, 0}));
    }
}

TEST(Matrix4Test, ColumnMajorProductAndTranslation)
{
    Matrix4 m = Matrix4::identity();
    translate(m, {1, 2, 3});
    EXPECT_EQ((Vec3{m.m[12], m.m[13], m.m[14]}), (Vec3{1, 2, 3}));
    // Translate then rotate: the rotation acts first on points.
    rotate(m, {0, 0, 1}, kPi / 2);
    expectVecNear(m.transformPoint({1, 0, 0}), {1, 3, 3}, 1e-11);
    Matrix4 a = Matrix4::identity();
    a.at(0, 1) = 2.0;
    Matrix4 b = Matrix4::identity();
    b.at(1, 0) = 3.0;
    const Matrix4 ab = product(a, b);
    EXPECT_EQ(ab.at(0, 0), 7.0);
    EXPECT_EQ(ab.at(1, 0), 3.0);
}

TEST(Matrix4Test, RotationIsRightHandedAboutTheNormalisedAxisOrALine)
{
    expectVecNear(rotateVector({1, 0, 0}, {0, 0, 5}, kPi / 2), {0, 1, 0}, 1e-11);
    expectVecNear(rotateVector({0, 1, 0}, {1, 0, 0}, kPi / 2), {0, 0, 1}, 1e-11);
    // rotate before composes on the other side.
    Matrix4 m = Matrix4::translation({1, 0, 0});
    rotateBefore(m, {0, 0, 1}, kPi / 2);
    expectVecNear(m.transformPoint({0, 0, 0}), {0, 1, 0}, 1e-11);
    // About a line: points on the line stay.
    Vec3 p{2, 0, 5};
    rotatePointAboutLine({1, 0, 0}, {0, 0, 1}, kPi, p);
    expectVecNear(p, {0, 0, 5}, 1e-11);
    Vec3 onLine{1, 0, 7};
    rotatePointAboutLine({1, 0, 0}, {0, 0, 1}, 1.0, onLine);
    expectVecNear(onLine, {1, 0, 7}, 1e-12);
}

TEST(QuaternionTest, RotationMatrixDividesByTheNorm)
{
    for (double w : {2.0, 0.0}) expectMatrixNear(quaternion(w, {0, 0, 0}).rotationMatrix(), Matrix4::identity());
    // The unit formula assumes length 1: (2, 0, 0, 0) is not the identity with s = 2.
    const unitquaternion copy(quaternion(2, {0, 0, 0}));
    EXPECT_DOUBLE_EQ(copy.w, 1.0);
}

TEST(QuaternionTest, UnitQuaternionFromAngleAndAxis)
{
    const unitquaternion q(kPi / 2, {0, 0, 5});
    EXPECT_NEAR(q.w, std::cos(kPi / 4), 1e-15);
    EXPECT_NEAR(q.v.z, std::sin(kPi / 4), 1e-15);
    EXPECT_EQ(q.v.x, 0.0);
    EXPECT_EQ(q.v.y, 0.0);
    // Element layout of the rotation matrix (transpose of the column-major rotation).
    const Matrix4 m = q.rotationMatrix();
    EXPECT_NEAR(m.m[1], -1.0, 1e-11);
    EXPECT_NEAR(m.m[4], 1.0, 1e-11);
    EXPECT_EQ(m.m[15], 1.0);
}

TEST(QuaternionTest, ProductComposesRotations)
{
    const unitquaternion a(0.3, {0, 1, 0}), b(0.5, {0, 1, 0});
    const quaternion ab = product(a, b);
    const unitquaternion c(0.8, {0, 1, 0});
    EXPECT_NEAR(ab.w, c.w, 1e-15);
    expectVecNear(ab.v, c.v, 1e-15);
    quaternion m = a;
    multiply(m, b);
    EXPECT_EQ(m.w, ab.w);
    const quaternion i(0, {1, 0, 0});
    EXPECT_EQ(product(i, i).w, -1.0);
}

TEST(PlaneTest, PlaneFromPointsAndRayIntersection)
{
    const Plane p = PlaneFromPoints({0, 2, 0}, {1, 2, 0}, {0, 2, 1});
    expectVecNear(p.normal, {0, -1, 0}, 1e-12);
    EXPECT_NEAR(p.d, 2.0, 1e-12);
    const auto hit = RayPlane(p, {5, 7, 5}, {0, -1, 0});
    ASSERT_TRUE(hit.has_value());
    expectVecNear(*hit, {5, 2, 5}, 1e-12);
    EXPECT_FALSE(RayPlane(p, {5, 7, 5}, {1, 0, 0}).has_value());
}

} // namespace
