#include "design/LivePreviewGuard.h"
#include "support/ReadyDocuments.h"
#include "support/RecordingPeers.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

namespace {

// Whether another thread could take the lock right now.
bool freeForAnotherThread(Lock& lock)
{
    return std::async(std::launch::async, [&lock] {
               const bool taken = lock.tryLock();
               if (taken) lock.unlock();
               return taken;
           }).get();
}

class LivePreview : public ::testing::Test {
protected:
    void SetUp() override { peers.calls.clear(); } // "New" paused the threads itself

    builders::RecordingPeers peers;
    builders::NewDocument doc{&peers};
    SurfaceSection* surface = doc.surfaces[0].get();
};

TEST_F(LivePreview, WithTheBallParkedOnlyTheSurfaceIsHeld)
{
    ASSERT_TRUE(doc.simulation.stopped.load());
    {
        const design::LivePreviewGuard held(doc, surface);
        EXPECT_FALSE(held.pausedThreads());
        EXPECT_FALSE(freeForAnotherThread(surface->geometryLock));
        EXPECT_TRUE(freeForAnotherThread(doc.documentLock)); // the rest of the scene is drawn meanwhile
    }
    EXPECT_TRUE(freeForAnotherThread(surface->geometryLock));
    EXPECT_TRUE(peers.calls.empty());
}

TEST_F(LivePreview, WhileTheBallMovesOrIsLaunchedTheThreadsArePausedForASurface)
{
    doc.simulation.stopped = false;
    { const design::LivePreviewGuard none(doc, nullptr); } // without a surface nothing is held
    {
        const design::LivePreviewGuard held(doc, surface);
        EXPECT_TRUE(held.pausedThreads());
        EXPECT_TRUE(freeForAnotherThread(surface->geometryLock));
    }
    doc.simulation.stopped = true;
    doc.simulation.settingVelocity = true;
    { const design::LivePreviewGuard held(doc, surface); }
    EXPECT_EQ(peers.calls, (std::vector<std::string>{"pause", "resume", "pause", "resume"}));
}

} // namespace
