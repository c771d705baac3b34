#include "cli/RenderCommand.h"

#include "cli/CliCommands.h"
#include "cli/HeadlessRide.h"
#include "cli/SimulateCommand.h"
#include "document/OpenGLTemplateDoc.h"
#include "render/HeadlessContext.h"
#include "render/SceneRenderer.h"
#include "simulation/FollowCamera.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/Simulation.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <ostream>

namespace cli {

namespace {

constexpr const char* kRenderUsage =
    "usage: marlwick-cli render FILE.mwk OUT.(png|bmp|jpg) [--size WxH] [--follow] [--steps N]"
    " [--dt H] [--speed S] [--direction X,Y,Z] [--start SURFACE,GROUP,U,V] [--pause-on-air]"
    " [--pause-on-bounce] [--prevent-same-surface] [--no-bounce] [--pause-each-frame] [--replay RIDE.mwkride]";
constexpr int kMaxSide = 8192;

struct RenderOptions {
    std::string document, image;
    int width = 800, height = 600;
    bool follow = false;
    bool simulate = false; // a simulate option was given: run the ball first
    SimulateOptions run;   // its options; no steps unless --steps says so
};

int fail(std::ostream& err, const std::string& message, int code)
{
    err << "marlwick-cli: " << message << '\n';
    return code;
}

bool parseInt(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool parseSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    return parseInt(std::string_view(text).substr(0, x), width) && parseInt(std::string_view(text).substr(x + 1), height) &&
           width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide;
}

bool knownImageExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".png" || ext == ".bmp" || ext == ".jpg" || ext == ".jpeg";
}

// Empty on success, else the one-line complaint.
std::string parse(const std::vector<std::string>& args, RenderOptions& o)
{
    o.run.steps = 0;
    std::vector<std::string> positional;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        std::string problem;
        if (a == "--follow") {
            o.follow = true;
        } else if (a == "--size") {
            if (k + 1 == args.size()) return a + " needs a value";
            const std::string& value = args[++k];
            if (!parseSize(value, o.width, o.height))
                return "--size must be WxH with sides from 1 to " + std::to_string(kMaxSide) + ", not \"" + value + "\"";
        } else if (ParseSimulateOption(args, k, o.run, problem)) {
            if (!problem.empty()) return problem;
            o.simulate = true;
        } else if (a.rfind("--", 0) == 0) {
            return "unknown option \"" + a + "\"";
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return "\"render\" takes a document and an image file";
    o.document = positional[0];
    o.image = positional[1];
    o.run.document = o.document;
    if (!knownImageExtension(o.image)) return "the image must end in .png, .bmp or .jpg, not \"" + o.image + "\"";
    return {};
}

// The follow camera placed at once on the ball's present state, as the view
// shows it while the launch is being chosen.
void placeFollowCamera(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    {
        LockGuard guard(document.simulationLock);
        ResetFuturePaths(document);
        sim.futureIndex = 0;
        RecordPresentState(document);
    }
    sim.camera.cameraFixed = true;
    UpdateFollowCamera(document);
}

} // namespace

int RunRender(const std::vector<std::string>& args, std::ostream&, std::ostream& err)
{
    RenderOptions o;
    if (const std::string problem = parse(args, o); !problem.empty())
        return fail(err, problem + "; " + kRenderUsage, kExitUsage);

    std::error_code sameFileError;
    if (std::filesystem::equivalent(o.document, o.image, sameFileError))
        return fail(err, "Cannot save " + o.image + ": it is the document being drawn.", kExitFile);
    COpenGLTemplateDoc document;
    std::string error;
    if (!document.OnOpenDocument(o.document, error)) return fail(err, error, kExitFile);

    // What the view shows after opening: the ball placed at its start.
    const double orbitDistance = document.cameraDistance;
    if (document.ballStartSurface) PositionBall(document);
    long rolled = 0;
    if (o.simulate) {
        // The run of the simulate command with the same options, stepped as it steps.
        HeadlessRide ride;
        if (const int code = ride.Prepare(document, o.run, err)) return code;
        for (; rolled < ride.StepCount(); ++rolled) {
            ride.Step(document);
            if (ride.Diverged()) return ride.ReportDivergence(err);
        }
    }
    document.cameraFollowsBall = o.follow && document.ballStartSurface;
    if (document.cameraFollowsBall && rolled == 0) placeFollowCamera(document);
    if (!document.cameraFollowsBall) document.cameraDistance = orbitDistance;

    HeadlessContext context;
    if (!context.valid()) return fail(err, "no OpenGL context: " + context.error(), kExitNoContext);
    render::SceneRenderer renderer;
    renderer.Initialize();
    render::FrameRequest request;
    request.width = o.width;
    request.height = o.height;
    request.simulation = render::CaptureSimulationFrame(document);
    const bool written = renderer.SaveImageFile(document, request, o.width, o.height, o.image, error);
    renderer.Shutdown();
    if (!written) return fail(err, error, kExitFile);
    return kExitOk;
}

} // namespace cli
