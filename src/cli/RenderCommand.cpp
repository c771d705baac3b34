#include "cli/RenderCommand.h"

#include "cli/CliCommands.h"
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
    "usage: marlwick-cli render FILE.mwk OUT.(png|bmp|jpg) [--size WxH] [--follow] [--steps N]";
constexpr int kMaxSide = 8192;
constexpr int kMaxSteps = 1000000;

struct RenderOptions {
    std::string document, image;
    int width = 800, height = 600;
    bool follow = false;
    int steps = 0;
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
    std::vector<std::string> positional;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (a == "--follow") {
            o.follow = true;
        } else if (a == "--size" || a == "--steps") {
            if (k + 1 == args.size()) return a + " needs a value";
            const std::string& value = args[++k];
            if (a == "--size" && !parseSize(value, o.width, o.height))
                return "--size must be WxH with sides from 1 to " + std::to_string(kMaxSide) + ", not \"" + value + "\"";
            if (a == "--steps" && (!parseInt(value, o.steps) || o.steps < 0 || o.steps > kMaxSteps))
                return "--steps must be a whole number from 0 to " + std::to_string(kMaxSteps) + ", not \"" + value + "\"";
        } else if (a.rfind("--", 0) == 0) {
            return "unknown option \"" + a + "\"";
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return "\"render\" takes a document and an image file";
    o.document = positional[0];
    o.image = positional[1];
    if (!knownImageExtension(o.image)) return "the image must end in .png, .bmp or .jpg, not \"" + o.image + "\"";
    return {};
}

// Rolls the ball from its start for the given number of steps, each of the
// maximum step time, as a movie recording does.
void roll(COpenGLTemplateDoc& document, int steps)
{
    FixLaunch(document);
    RollBall(document);
    SimulationState& sim = document.simulation;
    for (int k = 0; k < steps; ++k) {
        sim.stepTime = sim.maxStepTime;
        StepSimulation(document);
    }
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

    COpenGLTemplateDoc document;
    std::string error;
    if (!document.OnOpenDocument(o.document, error)) return fail(err, error, kExitFile);

    // What the view shows after opening: the ball placed at its start.
    const double orbitDistance = document.cameraDistance;
    if (document.ballStartSurface) {
        PositionBall(document);
        if (o.steps > 0) roll(document, o.steps);
    }
    document.cameraFollowsBall = o.follow && document.ballStartSurface;
    if (document.cameraFollowsBall && o.steps == 0) placeFollowCamera(document);
    if (!document.cameraFollowsBall) document.cameraDistance = orbitDistance;

    HeadlessContext context;
    if (!context.valid()) return fail(err, "no OpenGL context: " + context.error(), kExitNoContext);
    render::SceneRenderer renderer;
    renderer.Initialize();
    render::FrameRequest request;
    request.width = o.width;
    request.height = o.height;
    request.simulation = render::CaptureSimulationFrame(document);
    const bool written = renderer.SaveImageFile(document, request, o.width, o.height, o.image);
    renderer.Shutdown();
    if (!written) return fail(err, "cannot write " + o.image, kExitFile);
    return kExitOk;
}

} // namespace cli
