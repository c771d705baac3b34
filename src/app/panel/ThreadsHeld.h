#pragma once

// Holds the render and physics threads still for as long as it lives: the
// constructor pauses both through the document and waits, the destructor
// lets them run again (only when they were running).

#include "document/OpenGLTemplateDoc.h"

class ThreadsHeld {
public:
    explicit ThreadsHeld(COpenGLTemplateDoc& document) : document_(document), paused_(document.peers().PauseThreads()) {}
    ~ThreadsHeld()
    {
        if (paused_) document_.peers().ResumeThreads();
    }
    ThreadsHeld(const ThreadsHeld&) = delete;
    ThreadsHeld& operator=(const ThreadsHeld&) = delete;

private:
    COpenGLTemplateDoc& document_;
    bool paused_;
};
