#include "cli/CliCommands.h"

#include "cli/BuildCommand.h"
#include "cli/CommandHelp.h"
#include "cli/DocumentJson.h"
#include "cli/ExportCommand.h"
#include "cli/MovieCommand.h"
#include "cli/ProfileCommand.h"
#include "cli/RenderCommand.h"
#include "cli/SimulateCommand.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>
#include <ostream>
#include <stdexcept>

namespace cli {

namespace {

int report(std::ostream& err, const std::string& message, int code)
{
    err << "marlwick-cli: " << message << '\n';
    return code;
}

int open(COpenGLTemplateDoc& document, const std::string& path, std::ostream& err)
{
    std::string error;
    if (!document.OnOpenDocument(path, error)) return report(err, error, kExitFile);
    return kExitOk;
}

int save(COpenGLTemplateDoc& document, const std::string& path, std::ostream& err)
{
    std::string error;
    if (!document.OnSaveDocument(path, error)) return report(err, error, kExitFile);
    return kExitOk;
}

// A parameter in [0, 1]; the whole text must be the number.
bool parseParameter(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value) && value >= 0.0 && value <= 1.0;
}

int runNew(const std::vector<std::string>& a, std::ostream&, std::ostream& err)
{
    COpenGLTemplateDoc document;
    document.OnNewDocument();
    return save(document, a[0], err);
}

int runResave(const std::vector<std::string>& a, std::ostream&, std::ostream& err)
{
    COpenGLTemplateDoc document;
    if (const int code = open(document, a[0], err)) return code;
    return save(document, a[1], err);
}

int runInfo(const std::vector<std::string>& a, std::ostream& out, std::ostream& err)
{
    COpenGLTemplateDoc document;
    if (const int code = open(document, a[0], err)) return code;
    out << DocumentInfo(document).dump(2) << '\n';
    return kExitOk;
}

int runEval(const std::vector<std::string>& a, std::ostream& out, std::ostream& err)
{
    double u = 0.0, v = 0.0;
    if (!parseParameter(a[3], u)) return report(err, "U must be a number from 0 to 1, not \"" + a[3] + "\"", kExitUsage);
    if (!parseParameter(a[4], v)) return report(err, "V must be a number from 0 to 1, not \"" + a[4] + "\"", kExitUsage);
    COpenGLTemplateDoc document;
    if (const int code = open(document, a[0], err)) return code;
    SurfaceSection* surface = document.FindSurface(NameFromUtf8(a[1]), NameFromUtf8(a[2]));
    if (!surface)
        return report(err, a[0] + " has no surface \"" + a[1] + "\" in group \"" + a[2] + "\"", kExitUsage);
    out << SurfaceEvaluation(*surface, u, v).dump(2) << '\n';
    return kExitOk;
}

using RunFunction = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

// A command that reads its own arguments and options.
constexpr std::size_t kOwnArguments = static_cast<std::size_t>(-1);

// One command: what its help says, its argument count (after the command
// word) and its body.
struct Command {
    CommandHelp help;
    std::size_t argumentCount;
    RunFunction run;
};

constexpr OptionHelp kRenderOptions[] = {
    {"--size WxH", "the picture's size in pixels, sides up to 8192 (800x600)"},
    {"--follow", "look from the follow camera behind the ball instead of the orbit camera"},
};

constexpr OptionHelp kBuildOptions[] = {
    {"--from IN.mwk", "start from this document instead of a new one"},
    {"--library FILE", "the surface library to export to and import from (your own)"},
    {"--templates FILE", "the cross-section templates to read and save (your own)"},
};

constexpr OptionHelp kProfileOptions[] = {
    {"--x time|distance", "what the charts' horizontal axis shows (time)"},
    {"--size WxH", "the chart picture's size in pixels, sides from 16 to 8192 (1200x800)"},
};

constexpr OptionHelp kMovieOptions[] = {
    {"--seconds S", "the movie's length in seconds, above 0 and up to 86400 (10, or the whole ride), or --steps N"},
    {"--fps F", "frames per second of the run's time, above 0 and up to 240 (30)"},
    {"--size WxH", "the frame's size in pixels, sides from 16 to 4096, even for .mp4 and .webm (1280x720)"},
    {"--follow", "look from the follow camera behind the ball instead of the orbit camera"},
    {"--overlay", "write the time, speed, height and vertical and lateral g in the top left corner"},
    {"--progress", "write \"K/N\" on standard output as each frame is done, for a program that shows it"},
};

constexpr OptionHelp kExportOptions[] = {
    {"--thickness T", "make each surface a closed solid T thick, away from the side the ball rolls on"},
    {"--ball-diameter-mm D", "scale the track so the ball is a marble D millimetres across (T is then in mm)"},
    {"--resolution N", "N times as many samples per direction as the display mesh, 1 to 8 (1)"},
    {"--surface NAME,GROUP", "export only this surface"},
    {"--group NAME", "export only this group's surfaces"},
};

const Command kCommands[] = {
    {{"new", "OUT.mwk", "Writes a new document: the group \"main\" with the one channel surface \"a\".", {}}, 1,
     runNew},
    {{"resave", "IN.mwk OUT.mwk", "Reads a document and writes it again, as the program's Save does.", {}}, 2,
     runResave},
    {{"info", "FILE.mwk", "Prints a document's settings, groups, surfaces, sites and holes as JSON.", {}}, 1, runInfo},
    {{"eval", "FILE.mwk SURFACE GROUP U V", "Prints a surface's point, derivatives and normal at (U, V) as JSON.", {}},
     5, runEval},
    {{"simulate", "FILE.mwk [options]",
      "Rolls the ball from its start and prints one JSON line per physics step, then a summary line.", {}, true},
     kOwnArguments, RunSimulate},
    {{"render", "FILE.mwk OUT.(png|bmp|jpg) [options]",
      "Draws what the program's view shows into a picture, without a display, after rolling the ball if asked.",
      kRenderOptions, true},
     kOwnArguments, RunRender},
    {{"build", "RECIPE.json OUT.mwk [options]",
      "Runs a design recipe, the program's design dialogs step by step, and saves the document it builds.",
      kBuildOptions},
     kOwnArguments, RunBuild},
    {{"profile", "FILE.mwk OUT.(csv|png|svg) [options]",
      "Rolls the ball as simulate does and writes its ride profile as a table or as charts.", kProfileOptions, true},
     kOwnArguments, RunProfile},
    {{"export", "FILE.mwk OUT.(stl|obj|ply|gltf|glb) [options]",
      "Writes the shown surfaces as a 3D mesh, open sheets or printable solids, for slicers and 3D programs.",
      kExportOptions},
     kOwnArguments, RunExport},
    {{"movie", "FILE.mwk OUT.(mp4|webm|gif) [options]",
      "Rolls the ball as simulate does and draws the run as render would into a movie, a frame per period.",
      kMovieOptions, true},
     kOwnArguments, RunMovie},
};

const Command* findCommand(std::string_view name)
{
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const Command& c) { return name == c.help.name; });
    return found == std::end(kCommands) ? nullptr : found;
}

std::vector<CommandHelp> allHelp()
{
    std::vector<CommandHelp> help;
    for (const Command& c : kCommands) help.push_back(c.help);
    return help;
}

constexpr const char* kSeeHelp = "; \"marlwick-cli --help\" lists the commands";

bool asksForHelp(const std::string& word) { return word == "--help" || word == "-h"; }

// help, help COMMAND, --help and --version.
int runHelp(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args[0] == "--version") {
        out << "marlwick-cli " << MARLWICK_VERSION << '\n';
        return kExitOk;
    }
    if (args.size() == 1) {
        WriteOverview(out, allHelp());
        return kExitOk;
    }
    const Command* command = args.size() == 2 ? findCommand(args[1]) : nullptr;
    if (!command) return report(err, "\"help\" takes one command name" + std::string(kSeeHelp), kExitUsage);
    WriteCommandHelp(out, command->help);
    return kExitOk;
}

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) return report(err, std::string("no command") + kSeeHelp, kExitUsage);
    if (args[0] == "help" || args[0] == "--version" || asksForHelp(args[0])) return runHelp(args, out, err);
    const Command* command = findCommand(args[0]);
    if (!command) return report(err, "unknown command \"" + args[0] + "\"" + kSeeHelp, kExitUsage);
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::any_of(rest.begin(), rest.end(), asksForHelp)) {
        WriteCommandHelp(out, command->help);
        return kExitOk;
    }
    if (command->argumentCount != kOwnArguments && rest.size() != command->argumentCount)
        return UsageError(err, command->help.name,
                          "\"" + args[0] + "\" takes " + std::to_string(command->argumentCount) + " argument(s)");
    return command->run(rest, out, err);
}

} // namespace

int UsageError(std::ostream& err, std::string_view command, const std::string& problem)
{
    const Command* found = findCommand(command);
    std::string message = problem;
    if (found) {
        message += "; " + ShortUsage(found->help);
        if (!found->help.options.empty() || found->help.rideOptions)
            message += " (\"marlwick-cli help " + std::string(command) + "\" lists the options)";
    }
    return report(err, message, kExitUsage);
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    int code = kExitOk;
    try {
        code = runCommand(args, out, err);
    } catch (const std::bad_alloc&) {
        return report(err, "there is not enough memory for \"" + args[0] + "\"", kExitFile);
    } catch (const std::length_error&) {
        return report(err, "\"" + args[0] + "\" asks for more memory than a program can hold", kExitFile);
    }
    // A command that failed on a file (or on out itself) has said so already.
    if (!out.flush() && code != kExitFile) return report(err, kOutputFailed, kExitFile);
    return code;
}

} // namespace cli
