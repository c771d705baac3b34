#include "cli/CliCommands.h"

#include "cli/BuildCommand.h"
#include "cli/DocumentJson.h"
#include "cli/MovieCommand.h"
#include "cli/ProfileCommand.h"
#include "cli/RenderCommand.h"
#include "cli/SimulateCommand.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <new>
#include <ostream>
#include <stdexcept>

namespace cli {

namespace {

constexpr const char* kUsage =
    "usage: marlwick-cli new OUT.mwk | resave IN.mwk OUT.mwk | info FILE.mwk | eval FILE.mwk SURFACE GROUP U V"
    " | simulate FILE.mwk [--steps N] [--dt H] [options]"
    " | render FILE.mwk OUT.(png|bmp|jpg) [--size WxH] [--follow] [--steps N]"
    " | build RECIPE.json OUT.mwk [--from IN.mwk] [--library FILE] [--templates FILE]"
    " | profile FILE.mwk OUT.(csv|png|svg) [--x time|distance] [simulate's options]"
    " | movie FILE.mwk OUT.(mp4|webm|gif) [--seconds S | --steps N] [--fps F] [--size WxH] [--follow] [--overlay]"
    " [simulate's options]";

// One command: its argument count (after the command word) and its body.
struct Command {
    const char* name;
    std::size_t argumentCount;
    std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> run;
};

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

const Command kCommands[] = {
    {"new", 1, runNew},
    {"resave", 2, runResave},
    {"info", 1, runInfo},
    {"eval", 5, runEval},
};

} // namespace

namespace {

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) return report(err, std::string("no command; ") + kUsage, kExitUsage);
    if (args[0] == "render") return RunRender({args.begin() + 1, args.end()}, out, err);
    if (args[0] == "simulate") return RunSimulate({args.begin() + 1, args.end()}, out, err);
    if (args[0] == "profile") return RunProfile({args.begin() + 1, args.end()}, out, err);
    if (args[0] == "build") return RunBuild({args.begin() + 1, args.end()}, out, err);
    if (args[0] == "movie") return RunMovie({args.begin() + 1, args.end()}, out, err);
    for (const Command& command : kCommands) {
        if (args[0] != command.name) continue;
        if (args.size() - 1 != command.argumentCount)
            return report(err, std::string("\"") + command.name + "\" takes " +
                                   std::to_string(command.argumentCount) + " argument(s); " + kUsage,
                          kExitUsage);
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        return command.run(rest, out, err);
    }
    return report(err, "unknown command \"" + args[0] + "\"; " + kUsage, kExitUsage);
}

} // namespace

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
