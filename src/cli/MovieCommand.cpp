#include "cli/MovieCommand.h"

#include "cli/CancelSignals.h"
#include "cli/CliCommands.h"
#include "cli/HeadlessScene.h"
#include "cli/ProgressBar.h"
#include "cli/RenderCommand.h"
#include "cli/SimulateCommand.h"
#include "movie/MovieEncoder.h"
#include "movie/MovieTiming.h"
#include "render/Capture.h"
#include "render/HeadlessContext.h"
#include "render/ScreenText.h"

#include <cstdio>
#include <filesystem>
#include <ostream>

namespace cli {

namespace {

constexpr double kDefaultSeconds = 10.0;
constexpr double kLongestMovie = 24.0 * 3600.0;

struct MovieOptions {
    SimulateOptions run;
    std::string output;
    movie::MovieFormat format = movie::MovieFormat::Mp4;
    double seconds = kDefaultSeconds;
    bool secondsGiven = false, stepsGiven = false;
    movie::MovieSettings settings{1280, 720, 30.0};
    bool follow = false, overlay = false, progress = false;
};

int fail(std::ostream& err, const std::string& message, int code)
{
    err << "marlwick-cli: " << message << '\n';
    return code;
}

// The movie's own valued options; empty on success, else the complaint.
std::string parseValued(const std::string& option, const std::string& value, MovieOptions& o)
{
    if (option == "--seconds") {
        o.secondsGiven = true;
        if (!ParseNumber(value, o.seconds) || !(o.seconds > 0.0) || o.seconds > kLongestMovie)
            return "--seconds must be a number above 0 and at most 86400, not \"" + value + "\"";
    } else if (option == "--fps") {
        double fps = 0.0;
        if (!ParseNumber(value, fps) || !movie::CheckFrameRate(fps).empty())
            return "--fps must be a number above 0 and at most 240, not \"" + value + "\"";
        o.settings.framesPerSecond = fps;
    } else if (!ParseFrameSize(value, o.settings.width, o.settings.height)) {
        return "--size must be WxH with sides from " + std::to_string(movie::kMinSide) + " to " +
               std::to_string(movie::kMaxSide) + ", not \"" + value + "\"";
    }
    return {};
}

// Empty on success, else the one-line complaint.
std::string parse(const std::vector<std::string>& args, MovieOptions& o)
{
    std::vector<std::string> positional;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        std::string problem;
        if (a == "--follow") {
            o.follow = true;
        } else if (a == "--overlay") {
            o.overlay = true;
        } else if (a == "--progress") {
            o.progress = true;
        } else if (a == "--seconds" || a == "--fps" || a == "--size") {
            if (k + 1 == args.size()) return a + " needs a value";
            if (std::string p = parseValued(a, args[++k], o); !p.empty()) return p;
        } else if (ParseSimulateOption(args, k, o.run, problem)) {
            if (!problem.empty()) return problem;
            o.stepsGiven = o.stepsGiven || a == "--steps";
        } else if (a.rfind("--", 0) == 0) {
            return "unknown option \"" + a + "\"";
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return "\"movie\" takes a document and a movie file";
    if (o.secondsGiven && o.stepsGiven) return "give --seconds or --steps, not both";
    o.run.document = positional[0];
    o.output = positional[1];
    const auto format = movie::MovieFormatOf(o.output);
    if (!format) return "the movie must end in .mp4, .webm or .gif, not \"" + o.output + "\"";
    o.format = *format;
    return movie::CheckMovieSize(o.format, o.settings.width, o.settings.height);
}

// "time 1.20 s", then the ride readout a line a measure.
std::vector<std::string> readoutLines(const RideSample& sample)
{
    char time[48];
    std::snprintf(time, sizeof time, "time %.2f s", sample.t);
    std::vector<std::string> lines{time};
    const std::string readout = RideReadout(sample);
    for (std::size_t at = 0; at < readout.size();) {
        const std::size_t gap = std::min(readout.find("   ", at), readout.size());
        lines.push_back(readout.substr(at, gap - at));
        at = readout.find_first_not_of(' ', gap);
    }
    return lines;
}

// Draws the run frame by frame into the encoder: a frame that shows the same
// step as the one before repeats it without drawing. Stops (and the caller
// drops the movie) when a replayed step leaves its ride, when a signal asks
// it to, or when the progress cannot be written. Lives while the headless
// context is current.
class MovieRun {
public:
    MovieRun(HeadlessScene& scene, const MovieOptions& o) : scene_(scene), o_(o) { renderer_.Initialize(); }
    ~MovieRun() { renderer_.Shutdown(); }
    MovieRun(const MovieRun&) = delete;
    MovieRun& operator=(const MovieRun&) = delete;

    int Write(std::int64_t frames, movie::MovieEncoder& encoder, std::ostream& out, std::ostream& err)
    {
        const int width = o_.settings.width, height = o_.settings.height;
        render::OffscreenTarget target(width, height);
        if (!target.complete()) return fail(err, "no framebuffer of " + std::to_string(width) + "x" +
                                                     std::to_string(height) + " pixels could be made", kExitNoContext);
        ProgressBar bar(err, frames, "frames");
        RideSample sample = scene_.Launch();
        std::string error;
        for (std::int64_t k = 0; k < frames; ++k) {
            if (CancelSignals::Requested())
                return fail(err, "cancelled: " + o_.output + " was not written", kExitCancelled);
            if (!StepTo(k, sample)) return scene_.ReportDivergence(err);
            if (!AddFrame(sample, target, encoder, error)) return fail(err, error, kExitFile);
            if (o_.progress && !(out << k + 1 << '/' << frames << '\n' << std::flush))
                return fail(err, kOutputFailed, kExitFile);
            bar.Show(k + 1);
        }
        bar.Finish();
        return kExitOk;
    }

private:
    // Runs the steps that end by frame k's time; false when a replayed step left its ride.
    bool StepTo(std::int64_t frame, RideSample& sample)
    {
        for (auto end = scene_.NextStepEnd(); end && movie::ShowsStepEndingAt(frame, o_.settings.framesPerSecond, *end);
             end = scene_.NextStepEnd()) {
            sample = scene_.Step();
            if (scene_.Diverged()) return false;
        }
        return true;
    }

    // Draws the frame, or repeats the last one when it shows the same step.
    bool AddFrame(const RideSample& sample, const render::OffscreenTarget& target, movie::MovieEncoder& encoder,
                  std::string& error)
    {
        if (scene_.steps() == shown_) return encoder.RepeatFrame(error);
        Draw(sample, target);
        shown_ = scene_.steps();
        return encoder.PushFrame(pixels_.data(), error);
    }

    void Draw(const RideSample& sample, const render::OffscreenTarget& target)
    {
        const int width = o_.settings.width, height = o_.settings.height;
        renderer_.RenderFrame(scene_.document(), scene_.Frame(o_.follow, width, height));
        if (o_.overlay) render::DrawTextPanel(readoutLines(sample), width, height, render::TextScaleFor(height));
        target.ReadBgra(pixels_);
    }

    HeadlessScene& scene_;
    const MovieOptions& o_;
    render::SceneRenderer renderer_;
    std::vector<std::uint8_t> pixels_;
    long shown_ = -1; // the steps run when the last frame was drawn
};

// --seconds; else the run's own length when --steps or a ride sets it; else the default.
double movieSeconds(const MovieOptions& o, const HeadlessScene& scene)
{
    const bool runSetsLength = o.stepsGiven || !o.run.replay.empty();
    return o.secondsGiven || !runSetsLength ? o.seconds : scene.Duration();
}

} // namespace

int RunMovie(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    MovieOptions o;
    if (const std::string problem = parse(args, o); !problem.empty())
        return UsageError(err, "movie", problem);
    std::error_code sameFileError;
    if (std::filesystem::equivalent(o.run.document, o.output, sameFileError))
        return fail(err, "Cannot save " + o.output + ": it is the document being drawn.", kExitFile);

    HeadlessScene scene;
    if (const int code = scene.Open(o.run, true, err)) return code;
    const double seconds = movieSeconds(o, scene);
    const std::int64_t frames = movie::FrameCount(seconds, o.settings.framesPerSecond);
    if (frames < 1) return UsageError(err, "movie", "a movie of " + std::to_string(seconds) + " s has no frame");

    HeadlessContext context;
    if (!context.valid()) return fail(err, "no OpenGL context: " + context.error(), kExitNoContext);
    // From here a signal stops the movie at its next frame, and the half-made file goes.
    const CancelSignals signals;
    std::string error;
    const auto encoder = movie::MovieEncoder::Open(o.output, o.settings, error);
    if (!encoder) return fail(err, error, kExitFile);
    if (const int code = MovieRun(scene, o).Write(frames, *encoder, out, err)) return code;
    if (!encoder->Finish(error)) return fail(err, error, kExitFile);
    return kExitOk;
}

} // namespace cli
