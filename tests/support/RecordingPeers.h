#pragma once

// The program around a document (view, threads, panel, window title) as a
// recorder of what the document asks of it.

#include "document/DocumentPeers.h"

#include <algorithm>
#include <string>
#include <vector>

namespace builders {

class RecordingPeers : public DocumentPeers {
public:
    bool threadsRun = true; // what pausing answers: whether the threads were running
    std::vector<std::string> calls; // "setup", "pause", "resume", "tree", "fit", "position", "stop"
    std::vector<bool> told;         // what the window title heard of the modified mark
    int progressRange = -1, progressSteps = 0, progressDestroyed = 0, renderBox = -1, restored = 0;

    void Setup(COpenGLTemplateDoc&) override { calls.push_back("setup"); }
    bool PauseThreads() override
    {
        calls.push_back("pause");
        return threadsRun;
    }
    void ResumeThreads() override { calls.push_back("resume"); }
    void FillSurfaceTree() override { calls.push_back("tree"); }
    void SetRenderBox(int value) override { renderBox = value; }
    void FitCameraToSurfaces() override { calls.push_back("fit"); }
    void PositionBall() override { calls.push_back("position"); }
    void StopBall() override { calls.push_back("stop"); }
    void StartProgress(int range) override { progressRange = range; }
    void StepProgress() override { ++progressSteps; }
    void DestroyProgress() override { ++progressDestroyed; }
    void ModifiedChanged(bool modified) override { told.push_back(modified); }
    void DocumentRestored() override { ++restored; }

    int count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
};

} // namespace builders
