#include "cli/ExportCommand.h"

#include "cli/CliCommands.h"
#include "cli/CommandHelp.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"
#include "exportwriter/TrackFileExport.h"

#include <charconv>
#include <cmath>
#include <ostream>

namespace cli {

namespace {

int fail(std::ostream& err, const std::string& message, int code)
{
    err << "marlwick-cli: " << message << '\n';
    return code;
}

// The whole text as one number; NaN when it is not one.
double numberOf(const std::string& text)
{
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end ? value : std::nan("");
}

// Empty on success, else the complaint about the option at args[k] and its value.
std::string parseOption(const std::string& option, const std::string& value, trackexport::ExportOptions& o)
{
    using trackexport::ExportScope;
    if (option == "--thickness") {
        o.thickness = numberOf(value);
    } else if (option == "--ball-diameter-mm") {
        // Zero would mean scene units: a given diameter must be a size.
        o.ballDiameterMm = numberOf(value);
        if (o.ballDiameterMm == 0.0) return trackexport::BallDiameterPrompt();
    } else if (option == "--resolution") {
        const double n = numberOf(value);
        o.resolution = n >= trackexport::kResolutionLow && n <= trackexport::kResolutionHigh && n == std::floor(n)
                           ? static_cast<int>(n)
                           : 0;
    } else if (option == "--surface" || option == "--group") {
        if (o.scope != ExportScope::ShownSurfaces) return "give one of --surface and --group, once";
        const auto comma = value.rfind(',');
        if (option == "--surface" && comma == std::string::npos)
            return "--surface must be NAME,GROUP, not \"" + value + "\"";
        o.scope = option == "--surface" ? ExportScope::OneSurface : ExportScope::OneGroup;
        o.surfaceName = option == "--surface" ? NameFromUtf8(value.substr(0, comma)) : "";
        o.groupName = NameFromUtf8(option == "--surface" ? value.substr(comma + 1) : value);
    } else {
        return "unknown option \"" + option + "\"";
    }
    return trackexport::CheckExportNumbers(o);
}

std::string parse(const std::vector<std::string>& args, trackexport::ExportRequest& request)
{
    std::vector<std::string> positional;
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (args[k].rfind("--", 0) != 0) {
            positional.push_back(args[k]);
            continue;
        }
        if (k + 1 == args.size()) return args[k] + " needs a value";
        if (std::string problem = parseOption(args[k], args[k + 1], request.options); !problem.empty())
            return problem;
        ++k;
    }
    if (positional.size() != 2) return "\"export\" takes a document and an output file";
    request.documentPath = positional[0];
    request.outputPath = positional[1];
    if (!trackexport::FormatFromPath(request.outputPath)) return trackexport::kBadExtension;
    return {};
}

} // namespace

int RunExport(const std::vector<std::string>& args, std::ostream&, std::ostream& err)
{
    trackexport::ExportRequest request;
    if (const std::string problem = parse(args, request); !problem.empty())
        return UsageError(err, "export", problem);
    COpenGLTemplateDoc document;
    std::string error;
    if (!document.OnOpenDocument(request.documentPath, error)) return fail(err, error, kExitFile);
    const trackexport::ExportOutcome outcome = trackexport::ExportTrack(document, request);
    if (!outcome.error.empty()) return fail(err, outcome.error, outcome.refused ? kExitUsage : kExitFile);
    err << "marlwick-cli: " << outcome.summary.Report(request.outputPath) << '\n';
    return kExitOk;
}

} // namespace cli
