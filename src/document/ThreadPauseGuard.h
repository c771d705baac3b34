#pragma once

#include "document/DocumentPeers.h"

class COpenGLTemplateDoc;

// Holds the render and physics threads still for as long as it lives: the
// constructor pauses both through the document's peers and waits for them,
// the destructor resumes them, but only when this guard was the one that
// paused them (threads that were not running stay as they were).
class ThreadPauseGuard {
public:
    explicit ThreadPauseGuard(DocumentPeers& peers) : peers_(peers), paused_(peers.PauseThreads()) {}
    explicit ThreadPauseGuard(COpenGLTemplateDoc& document);
    ~ThreadPauseGuard()
    {
        if (paused_) peers_.ResumeThreads();
    }
    ThreadPauseGuard(const ThreadPauseGuard&) = delete;
    ThreadPauseGuard& operator=(const ThreadPauseGuard&) = delete;

    // True when the threads were running and this guard paused them.
    bool paused() const { return paused_; }

private:
    DocumentPeers& peers_;
    const bool paused_;
};
