#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Threads that may or may not be running; records the pause and resume calls.
class FakeThreadPeers : public DocumentPeers {
public:
    bool running = true;
    std::vector<std::string> calls;

    bool PauseThreads() override
    {
        calls.push_back("pause");
        return running;
    }
    void ResumeThreads() override { calls.push_back("resume"); }
};

using Calls = std::vector<std::string>;

} // namespace

TEST(ThreadPauseGuard, HoldsRunningThreadsForExactlyItsScope)
{
    FakeThreadPeers peers;
    {
        ThreadPauseGuard pause(peers);
        EXPECT_TRUE(pause.paused());
        EXPECT_EQ(peers.calls, Calls{"pause"});
    }
    EXPECT_EQ(peers.calls, (Calls{"pause", "resume"}));
}

TEST(ThreadPauseGuard, LeavesThreadsThatWereNotRunningAlone)
{
    FakeThreadPeers peers;
    peers.running = false;
    {
        ThreadPauseGuard pause(peers);
        EXPECT_FALSE(pause.paused());
    }
    EXPECT_EQ(peers.calls, Calls{"pause"});
}

TEST(ThreadPauseGuard, ResumesWhenTheWorkThrows)
{
    FakeThreadPeers peers;
    EXPECT_THROW(
        {
            ThreadPauseGuard pause(peers);
            throw std::runtime_error("refused midway");
        },
        std::runtime_error);
    EXPECT_EQ(peers.calls, (Calls{"pause", "resume"}));
}

TEST(ThreadPauseGuard, PausesThroughTheDocumentsPeers)
{
    FakeThreadPeers peers;
    COpenGLTemplateDoc doc(&peers);
    {
        ThreadPauseGuard pause(doc);
        EXPECT_EQ(peers.calls, Calls{"pause"});
    }
    EXPECT_EQ(peers.calls, (Calls{"pause", "resume"}));
}

TEST(ThreadPauseGuard, NewAndOpenResumeOnlyThreadsTheyPaused)
{
    FakeThreadPeers peers;
    COpenGLTemplateDoc doc(&peers);
    doc.OnNewDocument();
    EXPECT_EQ(std::count(peers.calls.begin(), peers.calls.end(), "resume"), 1);
    peers.calls.clear();
    std::string error;
    EXPECT_FALSE(doc.OnOpenDocument("/nonexistent-dir/none.mwk", error));
    EXPECT_EQ(peers.calls, (Calls{"pause", "resume"}));
    peers.running = false;
    peers.calls.clear();
    doc.OnNewDocument();
    EXPECT_EQ(std::count(peers.calls.begin(), peers.calls.end(), "resume"), 0);
}
