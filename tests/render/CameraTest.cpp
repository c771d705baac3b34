#include "document/OpenGLTemplateDoc.h"
#include "render/Camera.h"
#include "render/Capture.h"
#include "support/DocumentBuilders.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using render::ComputeFrustum;
using render::StereoEye;

constexpr double kTan22_5 = 0.41421356237309503;

TEST(Frustum, MonoUsesTheFieldOfViewAndAspectFromNearPlane)
{
    const auto f = ComputeFrustum(render::OrbitPose(-40.0), 45.0, 2.0, StereoEye::Mono, 40.0);
    EXPECT_DOUBLE_EQ(f.nearPlane, 0.01);
    EXPECT_DOUBLE_EQ(f.farPlane, 1000000.0);
    EXPECT_NEAR(f.top, 0.01 * kTan22_5, 1e-12);
    EXPECT_NEAR(f.bottom, -f.top, 1e-15);
    EXPECT_NEAR(f.right, 2.0 * f.top, 1e-12);
    EXPECT_NEAR(f.left, -f.right, 1e-15);
    // The orbit eye sits at z = d looking down -z.
    EXPECT_EQ(f.eye, (Vec3{0.0, 0.0, 40.0}));
    EXPECT_EQ(f.target, (Vec3{0.0, 0.0, 39.0}));
    EXPECT_EQ(f.up, (Vec3{0.0, 1.0, 0.0}));
}

TEST(Frustum, StereoEyesMoveApartAndSkewTheirWindowsBackTogether)
{
    const auto pose = render::OrbitPose(-35.0); // 35 from the focal point: focal length 30, separation 1.5
    const double focus = render::FocusDistance(pose, false);
    const auto left = ComputeFrustum(pose, 45.0, 1.0, StereoEye::Left, focus);
    const auto right = ComputeFrustum(pose, 45.0, 1.0, StereoEye::Right, focus);
    EXPECT_NEAR(left.nearPlane, 6.0, 1e-12); // one fifth of the focal length
    EXPECT_NEAR(left.eye.x, -0.75, 1e-12);
    EXPECT_NEAR(right.eye.x, 0.75, 1e-12);
    EXPECT_NEAR(left.target.x - left.eye.x, 0.0, 1e-12); // both look straight ahead
    const double shift = 0.75 * 6.0 / 30.0;
    const double w = 6.0 * kTan22_5;
    EXPECT_NEAR(left.left, -w + shift, 1e-12);
    EXPECT_NEAR(left.right, w + shift, 1e-12);
    EXPECT_NEAR(right.left, -w - shift, 1e-12);
    EXPECT_NEAR(right.right, w - shift, 1e-12);
}

TEST(Frustum, StereoIsValidEvenForACameraOnTheBallOrWithNoDistance)
{
    for (const double none : {0.0, std::nan("")}) {
        const auto f = ComputeFrustum(render::OrbitPose(-1.0), 45.0, 1.0, StereoEye::Right, none);
        EXPECT_GE(f.nearPlane, 0.01);
        EXPECT_TRUE(std::isfinite(f.left) && f.left < f.right);
    }
}

TEST(FitAll, CentresOnAllSurfacesAndBacksOffOneAndAHalfTheLargestSide)
{
    COpenGLTemplateDoc doc;
    builders::fillChainDocument(doc, 3, 5, 2);
    Vec3 low{1e9, 1e9, 1e9}, high{-1e9, -1e9, -1e9};
    for (const auto& s : doc.surfaces) {
        const BoxRecord& b = s->boxTree->tight;
        low = {std::min(low.x, b.xMin), std::min(low.y, b.yMin), std::min(low.z, b.zMin)};
        high = {std::max(high.x, b.xMax), std::max(high.y, b.yMax), std::max(high.z, b.zMax)};
    }
    render::FitCameraToSurfaces(doc);
    expectVecNear(doc.focalPoint, 0.5 * (low + high), 1e-9);
    const double largest = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
    EXPECT_NEAR(doc.cameraDistance, -1.5 * largest, 1e-9);
}

TEST(FitAll, AnEmptyDocumentKeepsItsCamera)
{
    COpenGLTemplateDoc doc;
    doc.cameraDistance = -12.0;
    doc.focalPoint = {1.0, 2.0, 3.0};
    render::FitCameraToSurfaces(doc);
    EXPECT_EQ(doc.cameraDistance, -12.0);
    EXPECT_EQ(doc.focalPoint, (Vec3{1.0, 2.0, 3.0}));
}

TEST(MovieFrames, KeepTheWindowsAspectAtTheImageWidthAndAreNumberedWithAtLeastThreeDigits)
{
    // The height is truncated, not rounded: 333.33 -> 333 (800 x 400 from 1000 x 500 is the capture's test).
    const auto size = render::MovieFrameSize(800, 1200, 500);
    EXPECT_EQ(size.width, 800);
    EXPECT_EQ(size.height, 333);
    EXPECT_EQ(render::MovieFrameSize(800, 0, 500).height, 0);
    EXPECT_EQ(render::MovieFrameName(0), "movie/image000.bmp");
    EXPECT_EQ(render::MovieFrameName(7), "movie/image007.bmp");
    EXPECT_EQ(render::MovieFrameName(1000), "movie/image1000.bmp");
}

} // namespace
