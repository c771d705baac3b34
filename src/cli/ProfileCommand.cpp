#include "cli/ProfileCommand.h"

#include "cli/CliCommands.h"
#include "cli/HeadlessRide.h"
#include "cli/RideCsvFile.h"
#include "cli/SimulateCommand.h"
#include "document/FileIO.h"
#include "document/OpenGLTemplateDoc.h"
#include "profilechart/RideChartFile.h"
#include "simulation/RideDecimation.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <functional>
#include <ostream>

namespace cli {

namespace {

constexpr int kMaxSide = 8192;

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

// "csv", "png" or "svg" from the ending of the output's file name (any
// case), which needs a name before it; empty with the complaint otherwise.
std::string formatOf(const std::string& path, std::string& problem)
{
    const std::string given = std::filesystem::path(path).filename().string();
    std::string name = given;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const char* format : {"csv", "png", "svg"}) {
        const std::string ending = std::string(".") + format;
        if (name.size() < ending.size() || name.compare(name.size() - ending.size(), ending.size(), ending) != 0)
            continue;
        if (name.size() > ending.size()) return format;
        problem = "the output \"" + path + "\" has no file name before \"" + given + "\"";
        return {};
    }
    problem = "the output must end in .csv, .png or .svg, not \"" + path + "\"";
    return {};
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
    std::string problem;
    o.format = formatOf(o.output, problem);
    return problem;
}

// Runs the ride's steps and hands each one's sample to take. Returns kExitOk;
// kExitFile as soon as take refuses (its error set); or, when a replay leaves
// its ride, the divergence's code after saying so.
int runSteps(COpenGLTemplateDoc& doc, HeadlessRide& ride, const std::function<bool(const RideSample&)>& take,
             std::ostream& err)
{
    for (long k = 1; k <= ride.StepCount(); ++k) {
        const RideSample sample = ride.Step(doc);
        if (ride.Diverged()) return ride.ReportDivergence(err);
        if (!take(sample)) return kExitFile;
    }
    return kExitOk;
}

// One row per step, streamed to the file.
int writeCsv(COpenGLTemplateDoc& doc, HeadlessRide& ride, const ProfileOptions& o, std::ostream& err)
{
    std::string error;
    RideCsvFile csv;
    if (!csv.Open(o.output, error)) return fail(err, error, kExitFile);
    const int code = runSteps(doc, ride, [&](const RideSample& s) { return csv.Add(s, error); }, err);
    if (code == kExitFile || (code == kExitOk && !csv.Commit(error))) return fail(err, error, kExitFile);
    return code;
}

// The charts of the run thinned to a fixed budget, encoded in memory and
// written through a temporary file; the output is checked before the run.
int writeChart(COpenGLTemplateDoc& doc, HeadlessRide& ride, const ProfileOptions& o, std::ostream& err)
{
    std::string error;
    ReplacingFileWriter file;
    if (!file.Open(o.output, error)) return fail(err, error, kExitFile);
    RideDecimator charted;
    const int code = runSteps(doc, ride, [&](const RideSample& s) {
        charted.Add(o.axis == RideAxis::Time ? s.t : s.distance, s);
        return true;
    }, err);
    if (code != kExitOk) return code;
    const std::string title = std::filesystem::path(o.run.document).stem().string();
    std::vector<std::uint8_t> bytes;
    error = WithOffscreenApplication([&] {
        return EncodeRideChart(charted.Samples(), o.axis, title, o.format, o.width, o.height, bytes);
    });
    if (!error.empty()) return fail(err, o.output + ": " + error, kExitFile);
    if (!file.Write(bytes.data(), bytes.size(), error) || !file.Commit(error)) return fail(err, error, kExitFile);
    return kExitOk;
}

} // namespace

int RunProfile(const std::vector<std::string>& args, std::ostream&, std::ostream& err)
{
    ProfileOptions o;
    if (const std::string problem = parse(args, o); !problem.empty())
        return UsageError(err, "profile", problem);
    std::error_code sameFileError;
    if (std::filesystem::equivalent(o.run.document, o.output, sameFileError))
        return fail(err, "Cannot save " + o.output + ": it is the document being profiled.", kExitFile);
    COpenGLTemplateDoc doc;
    std::string error;
    if (!doc.OnOpenDocument(o.run.document, error)) return fail(err, error, kExitFile);
    HeadlessRide ride;
    if (const int code = ride.Prepare(doc, o.run, err)) return code;
    return o.format == "csv" ? writeCsv(doc, ride, o, err) : writeChart(doc, ride, o, err);
}

} // namespace cli
