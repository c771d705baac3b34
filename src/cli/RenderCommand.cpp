#include "cli/RenderCommand.h"

#include "cli/CliCommands.h"
#include "cli/HeadlessScene.h"
#include "cli/SimulateCommand.h"
#include "render/HeadlessContext.h"
#include "render/SceneRenderer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <ostream>

namespace cli {

namespace {

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
            if (!ParseFrameSize(value, o.width, o.height))
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

} // namespace

bool ParseFrameSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    return parseInt(std::string_view(text).substr(0, x), width) && parseInt(std::string_view(text).substr(x + 1), height) &&
           width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide;
}

int RunRender(const std::vector<std::string>& args, std::ostream&, std::ostream& err)
{
    RenderOptions o;
    if (const std::string problem = parse(args, o); !problem.empty())
        return UsageError(err, "render", problem);

    std::error_code sameFileError;
    if (std::filesystem::equivalent(o.document, o.image, sameFileError))
        return fail(err, "Cannot save " + o.image + ": it is the document being drawn.", kExitFile);
    HeadlessScene scene;
    if (const int code = scene.Open(o.run, o.simulate, err)) return code;
    while (scene.steps() < scene.StepCount()) {
        scene.Step();
        if (scene.Diverged()) return scene.ReportDivergence(err);
    }

    HeadlessContext context;
    if (!context.valid()) return fail(err, "no OpenGL context: " + context.error(), kExitNoContext);
    render::SceneRenderer renderer;
    renderer.Initialize();
    const render::FrameRequest request = scene.Frame(o.follow, o.width, o.height);
    std::string error;
    const bool written = renderer.SaveImageFile(scene.document(), request, o.width, o.height, o.image, error);
    renderer.Shutdown();
    if (!written) return fail(err, error, kExitFile);
    return kExitOk;
}

} // namespace cli
