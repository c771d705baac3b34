#include "gul/Ptr.h"
#include "gul/SurfaceEval.h"
#include "gul/Basis.h"
#include "support/WavyNet.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gul::Ptr;

const char* const kBounds = "Ptr: accessing elements behind array bounds\n";
const char* const kMismatch = "Ptr: size and element count don't match\n";

// How many times `what` is printed on standard error while `action` runs.
template <class Action>
int printed(const std::string& what, Action&& action)
{
    testing::internal::CaptureStderr();
    action();
    const std::string text = testing::internal::GetCapturedStderr();
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(PtrTest, CopiesShareTheBlockAndTheLastHandleReleasesIt)
{
    Ptr<float> a(4);
    EXPECT_EQ(a.nElems(), 4);
    EXPECT_EQ(a[3], 0.0f); // value-initialised
    Ptr<float> b = a;
    EXPECT_EQ(a.refCount(), 2);
    b[2] = 7.0f;
    EXPECT_EQ(a[2], 7.0f);
    b.reservePlace(2); // b gets a block of its own
    EXPECT_EQ(a.refCount(), 1);
    EXPECT_EQ(b.nElems(), 2);
    Ptr<float> c = std::move(a);
    EXPECT_EQ(a.nElems(), 0);
    EXPECT_EQ(c[2], 7.0f);
}

TEST(PtrTest, EachOutOfBoundsAccessPrintsOnceAndTouchesNothing)
{
    Ptr<float> a(3);
    for (int k = 0; k < 3; ++k) a[k] = k + 1.0f;
    float r = 1.0f, s = 1.0f;
    const auto outside = [&] {
        a[3] = 99.0f; // one past the end: dropped
        r = a[-1];    // before the start: reads zero
        s = a[1000];
    };
    EXPECT_EQ(printed(kBounds, outside), 3);
    EXPECT_EQ(r, 0.0f);
    EXPECT_EQ(s, 0.0f);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(a[k], k + 1.0f) << k;
    // The scratch element a dropped write went to does not leak into later reads.
    EXPECT_EQ(printed(kBounds, [&] { EXPECT_EQ(a[3], 0.0f); }), 1);
}

TEST(PtrTest, EmptyHandlesAndDamagedRecordsAreRefused)
{
    Ptr<int> empty;
    EXPECT_EQ(printed(kBounds, [&] { empty[0] = 5; }), 1);

    Ptr<int> damaged(4);
    damaged.corruptRecordedSizeForTest();
    EXPECT_EQ(printed(kMismatch, [&] { damaged[1] = 5; }), 1);
    EXPECT_FALSE(damaged.checkRange(0, 1));
}

TEST(PtrTest, TwoDimensionalArraysAreIndependentRows)
{
    gul::Ptr2<float> a = gul::makeArray2<float>(3, 2);
    a[1][1] = 4.0f;
    EXPECT_EQ(a[0][1], 0.0f);
    EXPECT_EQ(a[1][1], 4.0f);
    EXPECT_EQ(a[2].nElems(), 2);
}

TEST(PoolTest, RepeatedEvaluationDoesNotReachTheGeneralHeap)
{
    const builders::WavyNet net(5, 2, 6, 2, false);
    gul::Ptr2<gul::Point3f> work;
    // Warm the pools, then count.
    gul::RationalSurfaceDerivatives(0.5f, 0.5f, net.n, net.p, net.U, net.m, net.q, net.V, net.Pw, 2, work);
    (void)gul::BasisFuns(3, 0.5f, 2, net.U);
    const auto before = gul::pool::heapRequests();
    for (int k = 0; k < 10000; ++k) {
        const float u = k / 10000.0f;
        net.point(u, 1.0f - u);
        gul::RationalSurfaceDerivatives(u, 1.0f - u, net.n, net.p, net.U, net.m, net.q, net.V, net.Pw, 2, work);
        (void)gul::BasisFuns(3, 0.5f, 2, net.U); // a pooled result array, freed at once
    }
    EXPECT_EQ(gul::pool::heapRequests(), before);
}

TEST(PoolTest, BlocksAboveThePooledSizeComeFromTheHeap)
{
    Ptr<float> warm(1); // the handle pool has its first chunk
    const auto before = gul::pool::heapRequests();
    Ptr<float> big(4096); // 16 KiB
    EXPECT_EQ(gul::pool::heapRequests(), before + 1);
    EXPECT_EQ(gul::pool::blockSize(100), 128u);
    EXPECT_EQ(gul::pool::blockSize(8192), 8192u);
}

} // namespace
