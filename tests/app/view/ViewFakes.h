#pragma once

// Stand-ins for the window's context and the scene drawing, so the view
// engine's threads and hand-shakes run without any display. Everything they
// record is read by the test thread while the render thread runs, so it is
// atomic or under a mutex.

#include "document/OpenGLTemplateDoc.h"
#include "view/FrameDrawer.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class FakeHost : public RenderContextHost {
public:
    explicit FakeHost(bool hasContext = true) : hasContext_(hasContext) {}
    bool MakeCurrent() override
    {
        madeCurrentOn = std::this_thread::get_id();
        return hasContext_;
    }
    void SwapBuffers() override { swaps.fetch_add(1); }
    void Release() override { released = true; }

    std::atomic<int> swaps{0};
    std::atomic<bool> released{false};
    std::thread::id madeCurrentOn;

private:
    bool hasContext_;
};

// Draws nothing; each frame takes a little time, as a real one would, and
// records what it was asked to draw.
class FakeDrawer : public FrameDrawer {
public:
    struct Saved {
        std::string name;
        int width, height;
        bool operator==(const Saved&) const = default;
    };
    // What the render thread was asked for, in order.
    struct Record {
        std::vector<std::pair<int, int>> sizes; // of each frame
        std::vector<double> distances;          // the document's camera distance at each frame
        std::vector<Saved> saved;
        std::vector<int> movieFrames;
        std::vector<double> stepLengths; // the simulation's step length at each movie frame
    };

    explicit FakeDrawer(COpenGLTemplateDoc& document) : document_(document) {}

    void Initialize() override { initialized = true; }
    void Shutdown() override { shutDown = true; }
    void DrawFrame(const render::FrameRequest& request) override
    {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            record_.sizes.emplace_back(request.width, request.height);
            // The render thread owns the orbit values while it runs.
            record_.distances.push_back(document_.cameraDistance);
        }
        frames.fetch_add(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        // A slow frame: it lasts as long as the test holds it.
        while (holdFrames.load()) {
            inHeldFrame = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    bool SaveImage(const render::FrameRequest&, int width, int height, const std::string& fileName) override
    {
        std::lock_guard<std::mutex> guard(mutex_);
        record_.saved.push_back({fileName, width, height});
        return true;
    }
    OffscreenPicture RenderPrint(const render::FrameRequest&, int width, int height) override
    {
        return {width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4, 255)};
    }
    render::FrameSize SaveMovieFrame(const render::FrameRequest& request, int frame) override
    {
        std::lock_guard<std::mutex> guard(mutex_);
        record_.movieFrames.push_back(frame);
        record_.stepLengths.push_back(document_.simulation.stepLength);
        return render::MovieFrameSize(document_.imageWidth, request.width, request.height);
    }
    // A grey picture, lighter with each frame read.
    void ReadFrame(int width, int height, std::vector<std::uint8_t>& bgra) override
    {
        bgra.assign(static_cast<std::size_t>(width) * height * 4, static_cast<std::uint8_t>(framesRead.fetch_add(1) * 8));
    }
    void DrawRecordingMark(std::int64_t taken, int, int) override { markedCount = taken; }

    // A copy of the record so far.
    Record record()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return record_;
    }

    std::atomic<int> frames{0};
    std::atomic<bool> initialized{false}, shutDown{false};
    std::atomic<bool> holdFrames{false}, inHeldFrame{false};
    std::atomic<int> framesRead{0};
    std::atomic<std::int64_t> markedCount{-1};

private:
    COpenGLTemplateDoc& document_;
    std::mutex mutex_;
    Record record_;
};

// Polls a condition for up to timeoutMs.
template <typename F>
bool waitUntil(F condition, int timeoutMs = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
