#include "cli/ProfileCommand.h"

#include "cli/CliCommands.h"
#include "cli/HeadlessRide.h"
#include "cli/SimulateCommand.h"
#include "document/FileIO.h"
#include "document/OpenGLTemplateDoc.h"
#include "profilechart/RideChartFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <ostream>

namespace cli {

namespace {

constexpr const char* kProfileUsage =
    "usage: marlwick-cli profile FILE.mwk OUT.(csv|png|svg) [--x time|distance] [--size WxH] [--steps N] [--dt H]"
    " [--speed S] [--direction X,Y,Z] [--start SURFACE,GROUP,U,V] [--pause-on-air] [--pause-on-bounce]"
    " [--prevent-same-surface] [--no-bounce] [--pause-each-frame] [--replay RIDE.mwkride]";
constexpr const char* kCsvHeader =
    "t,distance,speed,height,gVertical,gLateral,gLongitudinal,kinetic,potential,total,events\n";
constexpr int kMaxSide = 8192;
// A chart shows at most about this many steps; longer runs are thinned
// evenly, keeping every step with an event.
constexpr std::size_t kChartPoints = 20000;

struct ProfileOptions {
    SimulateOptions run;
    std::string output, format; // format: "csv", "png" or "svg"
    RideAxis axis = RideAxis::Time;
    int width = 1200, height = 800;
};

int fail(std::ostream& err, const std::string& message, int code)
{
    err << "marlwick-cli: " << message << '\n';
    return code;
}

bool parseSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    const char* end = text.data() + text.size();
    const auto w = std::from_chars(text.data(), text.data() + x, width);
    const auto h = std::from_chars(text.data() + x + 1, end, height);
    return w.ec == std::errc() && w.ptr == text.data() + x && h.ec == std::errc() && h.ptr == end && width >= 16 &&
           height >= 16 && width <= kMaxSide && height <= kMaxSide;
}

std::string formatOf(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".csv" ? "csv" : RideChartFormat(path);
}

// Empty on success, else the one-line complaint.
std::string parse(const std::vector<std::string>& args, ProfileOptions& o)
{
    std::vector<std::string> positional;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        std::string problem;
        if (a == "--x" || a == "--size") {
            if (k + 1 == args.size()) return a + " needs a value";
            const std::string& value = args[++k];
            if (a == "--x" && value != "time" && value != "distance")
                return "--x must be time or distance, not \"" + value + "\"";
            if (a == "--x") o.axis = value == "time" ? RideAxis::Time : RideAxis::Distance;
            if (a == "--size" && !parseSize(value, o.width, o.height))
                return "--size must be WxH with sides from 16 to " + std::to_string(kMaxSide) + ", not \"" + value +
                       "\"";
        } else if (ParseSimulateOption(args, k, o.run, problem)) {
            if (!problem.empty()) return problem;
        } else if (a.rfind("--", 0) == 0) {
            return "unknown option \"" + a + "\"";
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return "\"profile\" takes a document and an output file";
    o.run.document = positional[0];
    o.output = positional[1];
    o.format = formatOf(o.output);
    if (o.format.empty()) return "the output must end in .csv, .png or .svg, not \"" + o.output + "\"";
    return {};
}

void appendNumber(std::string& text, double value)
{
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, r.ptr);
    text += ',';
}

void appendRow(std::string& csv, const RideSample& s)
{
    for (double v : {s.t, s.distance, s.speed, s.height, s.felt.vertical, s.felt.lateral, s.felt.longitudinal,
                     s.energy.kinetic, s.energy.potential, s.energy.total})
        appendNumber(csv, v);
    csv += EventNames(s.events);
    csv += '\n';
}

} // namespace

int RunProfile(const std::vector<std::string>& args, std::ostream&, std::ostream& err)
{
    ProfileOptions o;
    if (const std::string problem = parse(args, o); !problem.empty())
        return fail(err, problem + "; " + kProfileUsage, kExitUsage);
    COpenGLTemplateDoc doc;
    std::string error;
    if (!doc.OnOpenDocument(o.run.document, error)) return fail(err, error, kExitFile);
    HeadlessRide ride;
    if (const int code = ride.Prepare(doc, o.run, err)) return code;

    const long steps = ride.StepCount();
    const long stride = std::max(1L, static_cast<long>((steps + kChartPoints - 1) / kChartPoints));
    std::string csv = o.format == "csv" ? kCsvHeader : "";
    std::vector<RideSample> charted;
    for (long k = 1; k <= steps; ++k) {
        const RideSample sample = ride.Step(doc);
        if (ride.Diverged()) return ride.ReportDivergence(err);
        if (o.format == "csv")
            appendRow(csv, sample);
        else if (k % stride == 0 || sample.events || k == steps)
            charted.push_back(sample);
    }
    if (o.format == "csv") {
        if (!WriteFileReplacing(o.output, std::vector<std::uint8_t>(csv.begin(), csv.end()), error))
            return fail(err, error, kExitFile);
        return kExitOk;
    }
    const std::string title = std::filesystem::path(o.run.document).stem().string();
    error = WithOffscreenApplication(
        [&] { return WriteRideChart(charted, o.axis, title, o.output, o.width, o.height); });
    if (!error.empty()) return fail(err, error, kExitFile);
    return kExitOk;
}

} // namespace cli
