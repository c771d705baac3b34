#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "support/RecordingPeers.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using Calls = std::vector<std::string>;

TEST(ThreadPauseGuard, ResumesOnlyThreadsItPausedWhenItsScopeEndsOrThrows)
{
    for (const bool running : {true, false})
        for (const bool throws : {false, true}) {
            SCOPED_TRACE(std::string(running ? "running" : "stopped") + (throws ? ", throwing" : ""));
            builders::RecordingPeers peers;
            peers.threadsRun = running;
            try {
                ThreadPauseGuard pause(peers);
                EXPECT_EQ(pause.paused(), running);
                EXPECT_EQ(peers.calls, Calls{"pause"});
                if (throws) throw std::runtime_error("refused midway");
            } catch (const std::runtime_error&) {
            }
            EXPECT_EQ(peers.calls, (running ? Calls{"pause", "resume"} : Calls{"pause"}));
        }
}

TEST(ThreadPauseGuard, PausesThroughTheDocumentsPeersAndNewAndOpenResumeOnlyThreadsTheyPaused)
{
    builders::RecordingPeers peers;
    COpenGLTemplateDoc doc(&peers);
    {
        ThreadPauseGuard pause(doc);
        EXPECT_EQ(peers.calls, Calls{"pause"});
    }
    EXPECT_EQ(peers.calls, (Calls{"pause", "resume"}));
    peers.calls.clear();
    doc.OnNewDocument();
    EXPECT_EQ(peers.count("resume"), 1);
    peers.calls.clear();
    std::string error;
    EXPECT_FALSE(doc.OnOpenDocument("/nonexistent-dir/none.mwk", error));
    EXPECT_EQ(peers.calls, (Calls{"pause", "resume"}));
    peers.threadsRun = false;
    peers.calls.clear();
    doc.OnNewDocument();
    EXPECT_EQ(peers.count("resume"), 0);
}
