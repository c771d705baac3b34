// The movie of the spiral, followed, 1280 x 720 at 30 frames per second with
// software rendering: marlwick-cli movie end to end in a process of its own
// (frames per second and the process's peak memory, for 5, 10 and 20 seconds
// of run: the peak must not grow with the length), beside the same frames
// only drawn and read back, without encoding.

#include "cli/HeadlessScene.h"
#include "movie/MovieTiming.h"
#include "render/Capture.h"
#include "render/HeadlessContext.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

extern char** environ;

namespace {

const std::string kSpiral = std::string(MARLWICK_SOURCE_DIR) + "/examples/spiral.mwk";
constexpr int kWidth = 1280, kHeight = 720;
constexpr double kFps = 30.0;

// Runs the command, waits for it and gives its resource use; false when it failed.
bool runChild(const std::vector<std::string>& args, rusage& usage)
{
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return ::wait4(child, &status, 0, &usage) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_MovieEndToEnd(benchmark::State& state)
{
    const std::string seconds = std::to_string(state.range(0));
    const std::string out = "/tmp/marlwick-bench-movie-" + std::to_string(::getpid()) + ".mp4";
    long peakKb = 0;
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        rusage usage{};
        if (!runChild({MARLWICK_CLI, "movie", kSpiral, out, "--seconds", seconds, "--size", "1280x720", "--follow"},
                      usage)) {
            state.SkipWithError("marlwick-cli movie failed");
            break;
        }
        peakKb = std::max(peakKb, usage.ru_maxrss);
        cpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    }
    std::remove(out.c_str());
    const double frames = double(movie::FrameCount(double(state.range(0)), kFps));
    state.counters["fps"] = benchmark::Counter(frames * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = double(peakKb) / 1024.0;
    // Processor time per frame, all threads: what the machine's load does not change.
    state.counters["cpu_ms_per_frame"] = cpuSeconds * 1000.0 / (frames * double(state.iterations()));
}
BENCHMARK(BM_MovieEndToEnd)->ArgName("seconds")->Arg(5)->Arg(10)->Arg(20)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// The same 300 frames drawn and read back in this process, not encoded (a
// frame that shows the step before it again is not drawn, as in the movie).
void BM_MovieFramesDrawnOnly(benchmark::State& state)
{
    HeadlessContext context;
    if (!context.valid()) {
        state.SkipWithError(context.error().c_str());
        return;
    }
    for (auto _ : state) {
        cli::HeadlessScene scene;
        cli::SimulateOptions run;
        run.document = kSpiral;
        if (scene.Open(run, true, std::cerr) != 0) {
            state.SkipWithError("the spiral could not be opened");
            break;
        }
        render::SceneRenderer renderer;
        renderer.Initialize();
        render::OffscreenTarget target(kWidth, kHeight);
        std::vector<std::uint8_t> pixels;
        long shown = -1;
        for (std::int64_t k = 0; k < movie::FrameCount(10.0, kFps); ++k) {
            while (movie::ShowsStepEndingAt(k, kFps, *scene.NextStepEnd())) scene.Step();
            if (scene.steps() == shown) continue;
            renderer.RenderFrame(scene.document(), scene.Frame(true, kWidth, kHeight));
            target.ReadBgra(pixels);
            shown = scene.steps();
        }
        renderer.Shutdown();
    }
    state.counters["fps"] =
        benchmark::Counter(double(movie::FrameCount(10.0, kFps)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MovieFramesDrawnOnly)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
