#include "cli/SimulateCommand.h"

#include "cli/CliCommands.h"
#include "cli/NameText.h"
#include "cli/HeadlessRide.h"
#include "document/OpenGLTemplateDoc.h"
#include "simulation/Simulation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

namespace cli {

namespace {

using Json = nlohmann::ordered_json;

constexpr long kMaxSteps = 10000000;
// Shorter steps add nothing but rounding: a felt force is a change of
// velocity over the step, and over a few picoseconds it is noise in the billions.
constexpr double kShortestStep = 1.0e-4;
constexpr double kLongestStep = 1.0;
constexpr double kFastestLaunch = 1000.0;
constexpr double kShortestDirection = 1.0e-9;
constexpr double kLongestDirection = 1.0e6;

int fail(std::ostream& err, const std::string& message, int code)
{
    err << "marlwick-cli: " << message << '\n';
    return code;
}

// Splits at the last count - 1 commas; the first field keeps any others.
std::vector<std::string> splitFromRight(const std::string& text, std::size_t count)
{
    std::vector<std::string> parts;
    std::string rest = text;
    while (parts.size() + 1 < count) {
        const auto comma = rest.rfind(',');
        if (comma == std::string::npos) break;
        parts.insert(parts.begin(), rest.substr(comma + 1));
        rest.resize(comma);
    }
    parts.insert(parts.begin(), rest);
    return parts;
}

std::string parseDirection(const std::string& value, Vec3& d)
{
    const auto p = splitFromRight(value, 3);
    const auto component = [](const std::string& text, double& c) {
        return ParseNumber(text, c) && std::fabs(c) <= kLongestDirection;
    };
    if (p.size() != 3 || !component(p[0], d.x) || !component(p[1], d.y) || !component(p[2], d.z) ||
        (d.x == 0.0 && d.y == 0.0 && d.z == 0.0))
        return "--direction must be three numbers X,Y,Z from -1e6 to 1e6, not all zero, not \"" + value + "\"";
    // Too short a vector has no length a double can hold, so no direction.
    if (!(length(d) >= kShortestDirection)) return "--direction \"" + value + "\" is too short to give a direction";
    return {};
}

std::string parseStart(const std::string& value, StartPoint& s)
{
    // The surface name takes any commas beyond the last three.
    const auto p = splitFromRight(value, 4);
    const bool ok = p.size() == 4 && ParseNumber(p[2], s.u) && ParseNumber(p[3], s.v) && s.u >= 0.0 &&
                    s.u <= 1.0 && s.v >= 0.0 && s.v <= 1.0;
    if (!ok) return "--start must be SURFACE,GROUP,U,V with U and V from 0 to 1, not \"" + value + "\"";
    s.surface = NameFromUtf8(p[0]);
    s.group = NameFromUtf8(p[1]);
    return {};
}

// Empty on success, else the one-line complaint.
std::string parse(const std::vector<std::string>& args, SimulateOptions& o)
{
    std::vector<std::string> positional;
    for (std::size_t k = 0; k < args.size(); ++k) {
        std::string problem;
        if (ParseSimulateOption(args, k, o, problem)) {
            if (!problem.empty()) return problem;
            continue;
        }
        if (args[k].rfind("--", 0) == 0) return "unknown option \"" + args[k] + "\"";
        positional.push_back(args[k]);
    }
    if (positional.size() != 1) return "\"simulate\" takes one document";
    o.document = positional[0];
    return {};
}

Json vec(const Vec3& v) { return Json::array({v.x, v.y, v.z}); }

Json nameOrNull(const SurfaceSection* s, bool group)
{
    if (!s) return nullptr;
    return group ? nameText(s->groupName) : nameText(s->name);
}

// The ball after a step, as every line and the summary give it.
void describeBall(COpenGLTemplateDoc& doc, Json& j)
{
    const SimulationState& sim = doc.simulation;
    const LiveBall& b = sim.ball;
    const SurfaceSection* on = b.inAir ? nullptr : doc.ballSurface;
    j["inAir"] = b.inAir;
    j["stopped"] = sim.stopped.load();
    j["surface"] = nameOrNull(on, false);
    j["group"] = nameOrNull(on, true);
    j["u"] = b.ballU;
    j["v"] = b.ballV;
    j["centre"] = vec(b.ballCentre);
    j["contact"] = vec(b.contactPoint);
    j["velocity"] = vec(b.velocity);
    j["speed"] = length(b.velocity);
}

struct Tally {
    long bounces = 0, landings = 0, crossings = 0, fallResets = 0;
};

Json describeEvents(const StepEvents& events, Tally& tally)
{
    Json list = Json::array();
    for (int k = 0; k < events.count; ++k) {
        const SimulationEvent& e = events.items[k];
        switch (e.kind) {
        case SimulationEventKind::Bounce: ++tally.bounces; break;
        case SimulationEventKind::Land: ++tally.landings; break;
        case SimulationEventKind::Cross: ++tally.crossings; break;
        case SimulationEventKind::FallReset: ++tally.fallResets; break;
        default: break;
        }
        if (e.kind != SimulationEventKind::Cross) {
            list.push_back(SimulationEventName(e.kind));
            continue;
        }
        Json cross;
        cross["event"] = "cross";
        cross["site"] = nameText(e.site);
        cross["surface"] = nameOrNull(e.surface, false);
        cross["group"] = nameOrNull(e.surface, true);
        list.push_back(cross);
    }
    return list;
}

Json describeRide(const RideSample& s)
{
    const FeltForce& f = s.felt;
    return {{"gForce", {{"vertical", f.vertical}, {"lateral", f.lateral}, {"longitudinal", f.longitudinal}}},
            {"energy", {{"kinetic", s.energy.kinetic}, {"potential", s.energy.potential}, {"total", s.energy.total}}}};
}

Json describeRideSummary(const RideSummary& r)
{
    return {{"gForce",
             {{"maxVertical", r.maxVertical},
              {"minVertical", r.minVertical},
              {"maxLateral", r.maxLateral},
              {"maxLongitudinal", r.maxLongitudinal}}},
            {"airtime", r.airtime},
            {"flights", r.flights},
            {"energyLost",
             {{"damping", r.dampingLoss}, {"impacts", r.impactLoss}, {"appliedForce", 0.0 - r.forceWork}}}};
}

// Whether every replayed step put the ball where the ride did; if not, where first not.
Json describeReplay(const RideReplay& replay)
{
    Json j{{"steps", replay.StepsDone()}, {"verified", !replay.divergence()}};
    if (const auto& d = replay.divergence()) {
        j["divergedAt"] = d->step;
        j["recorded"] = vec(d->recorded);
        j["replayed"] = vec(d->replayed);
    }
    return j;
}

} // namespace

bool ParseNumber(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(value);
}

bool ParseSimulateOption(const std::vector<std::string>& args, std::size_t& k, SimulateOptions& o,
                         std::string& problem)
{
    const std::string& a = args[k];
    bool* flag = a == "--pause-on-air"           ? &o.pauseOnAir
                 : a == "--pause-on-bounce"      ? &o.pauseOnBounce
                 : a == "--prevent-same-surface" ? &o.preventSameSurface
                 : a == "--no-bounce"            ? &o.noBounce
                 : a == "--pause-each-frame"     ? &o.pauseEachFrame
                                                 : nullptr;
    if (flag) {
        *flag = true;
        return true;
    }
    const bool valued = a == "--steps" || a == "--dt" || a == "--speed" || a == "--direction" || a == "--start" ||
                        a == "--replay";
    if (!valued) return false;
    if (k + 1 == args.size()) {
        problem = a + " needs a value";
        return true;
    }
    const std::string& value = args[++k];
    double number = 0.0;
    if (a == "--steps") {
        if (!ParseNumber(value, number) || number < 0 || number > kMaxSteps || number != std::floor(number))
            problem = "--steps must be a whole number from 0 to " + std::to_string(kMaxSteps) + ", not \"" + value + "\"";
        else
            o.steps = static_cast<long>(number);
        o.hasSteps = true;
    } else if (a == "--replay") {
        o.replay = value;
    } else if (a == "--dt") {
        if (!ParseNumber(value, o.dt) || o.dt < kShortestStep || o.dt > kLongestStep)
            problem = "--dt must be a number of seconds from 0.0001 to 1, not \"" + value + "\"";
    } else if (a == "--speed") {
        if (!ParseNumber(value, o.speed) || o.speed < 0.0 || o.speed > kFastestLaunch)
            problem = "--speed must be a number from 0 to 1000, not \"" + value + "\"";
        o.hasSpeed = true;
    } else if (a == "--direction") {
        problem = parseDirection(value, o.direction);
        o.hasDirection = true;
    } else {
        problem = parseStart(value, o.start);
        o.hasStart = true;
    }
    return true;
}

int CheckStoredLaunch(const COpenGLTemplateDoc& doc, const SimulateOptions& o, std::ostream& err)
{
    const auto text = [](double value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", value);
        return std::string(buffer);
    };
    const auto parameter = [](double x) { return x >= 0.0 && x <= 1.0; };
    if (!o.hasStart && !(parameter(doc.ballStartU) && parameter(doc.ballStartV)))
        return fail(err,
                    o.document + " holds the ball start U = " + text(doc.ballStartU) + ", V = " +
                        text(doc.ballStartV) + ", but U and V must be from 0 to 1; give --start",
                    kExitFile);
    if (!o.hasSpeed && !(doc.launchSpeed >= 0.0 && doc.launchSpeed <= kFastestLaunch))
        return fail(err,
                    o.document + " holds the launch speed " + text(doc.launchSpeed) +
                        ", but it must be from 0 to 1000; give --speed",
                    kExitFile);
    return kExitOk;
}

int PrepareSimulation(COpenGLTemplateDoc& doc, const SimulateOptions& o, std::ostream& err)
{
    if (o.hasStart) {
        SurfaceSection* s = doc.FindSurface(o.start.surface, o.start.group);
        if (!s)
            return fail(err,
                        o.document + " has no surface \"" + NameToUtf8(o.start.surface) + "\" in group \"" +
                            NameToUtf8(o.start.group) + "\"",
                        kExitNoStartSurface);
        doc.SetBallStart(s, o.start.u, o.start.v);
    }
    if (!doc.ballStartSurface)
        return fail(err, o.document + " has no ball start surface \"" + nameText(doc.ballStartSurfaceName) +
                             "\" in group \"" + nameText(doc.ballStartGroupName) + "\"",
                    kExitNoStartSurface);
    if (const int code = CheckStoredLaunch(doc, o, err)) return code;
    if (o.hasSpeed) doc.launchSpeed = o.speed;
    if (o.hasDirection) doc.launchDirection = o.direction;
    doc.pauseOnAir = o.pauseOnAir;
    doc.pauseOnBounce = o.pauseOnBounce;
    doc.preventSameSurfaceImpact = o.preventSameSurface;
    doc.bounceEnabled = !o.noBounce;
    doc.pauseEachFrame = o.pauseEachFrame;
    if (o.dt > 0.0) doc.simulation.maxStepTime = o.dt;
    LaunchQuietly(doc);
    return kExitOk;
}

int RunSimulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    SimulateOptions o;
    if (const std::string problem = parse(args, o); !problem.empty())
        return UsageError(err, "simulate", problem);
    COpenGLTemplateDoc doc;
    std::string error;
    if (!doc.OnOpenDocument(o.document, error)) return fail(err, error, kExitFile);
    HeadlessRide ride;
    if (const int code = ride.Prepare(doc, o, err)) return code;

    Tally tally;
    long steps = 0;
    double time = 0.0;
    while (steps < ride.StepCount() && !ride.Diverged()) {
        const RideSample sample = ride.Step(doc);
        time = sample.t;
        Json line;
        line["step"] = ++steps;
        line["t"] = sample.t;
        describeBall(doc, line);
        line.update(describeRide(sample));
        line["events"] = describeEvents(doc.simulation.events, tally);
        // A failed write ends the run at once rather than compute unseen steps.
        if (!(out << line.dump() << '\n')) return fail(err, kOutputFailed, kExitFile);
    }
    Json summary;
    summary["steps"] = steps;
    summary["time"] = time;
    summary["bounces"] = tally.bounces;
    summary["landings"] = tally.landings;
    summary["crossings"] = tally.crossings;
    summary["fallResets"] = tally.fallResets;
    Json final;
    describeBall(doc, final);
    summary.update(describeRideSummary(ride.Summary()));
    summary["final"] = final;
    if (ride.Replay()) summary["replay"] = describeReplay(*ride.Replay());
    out << Json{{"summary", summary}}.dump() << '\n';
    return ride.Diverged() ? ride.ReportDivergence(err) : kExitOk;
}

} // namespace cli
