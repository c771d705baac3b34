#include "simulation/RideFile.h"

#include "document/DocumentFile.h"
#include "document/FileIO.h"
#include "document/JsonLine.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

constexpr const char* kRideMark = "marlwick";
constexpr std::size_t kBallRadiusBytes = 8;
constexpr std::int64_t kMostSteps = std::int64_t(1) << 26;
constexpr double kLongestStep = 1.0;

// --- writing ---

std::string hexOf(std::uint64_t value)
{
    char digits[17] = {};
    const auto written = std::to_chars(digits, digits + 16, value, 16);
    const std::size_t n = static_cast<std::size_t>(written.ptr - digits);
    return std::string(16 - n, '0') + std::string(digits, n);
}

void writeSwitches(JsonLineWriter& w, const RideSwitches& s)
{
    w.BeginObject("settings")
        .Field("maxStepTime", s.maxStepTime)
        .Field("bounce", s.bounce)
        .Field("pauseOnAir", s.pauseOnAir)
        .Field("pauseOnBounce", s.pauseOnBounce)
        .Field("pauseEachFrame", s.pauseEachFrame)
        .Field("preventSameSurface", s.preventSameSurface)
        .EndObject();
}

void writeChange(std::string& text, const RideChange& change)
{
    JsonLineWriter w;
    if (change.kind == RideChange::Switches) {
        w.Field("event", "settings");
        writeSwitches(w, change.switches);
    } else {
        const ForceCircleLayout& c = change.circle;
        const double centre[2] = {double(c.centreX), double(c.centreY)};
        w.Field("event", "circle").Field("centre", centre, 2).Field("radius", c.radius);
        w.Field("viewHeight", std::int64_t(c.viewHeight));
    }
    w.AppendTo(text);
}

void writeStep(std::string& text, std::size_t index, const RideStep& step)
{
    JsonLineWriter w;
    w.Field("step", std::int64_t(index + 1)).Field("h", step.h);
    if (step.forceActive) {
        const double force[2] = {double(step.forceX), double(step.forceY)};
        w.Field("force", force, 2);
    }
    const double centre[3] = {step.centre.x, step.centre.y, step.centre.z};
    w.Field("centre", centre, 3).AppendTo(text);
}

const char* endName(RideEnd end)
{
    switch (end) {
    case RideEnd::Pause: return "pause";
    case RideEnd::Stop: return "stop";
    case RideEnd::Position: return "position";
    case RideEnd::None: break;
    }
    return "";
}

// --- reading ---

enum Key : std::uint8_t {
    kRide, kVersion, kDocument, kDocumentHash, kSteps, kSettings, kEvent, kSurface, kGroup, kU, kV, kSpeed,
    kDirection, kStep, kH, kForce, kCentre, kRadius, kViewHeight, kKeyCount
};
enum class Type : std::uint8_t { Text, Number, Array, Switches };
struct KeyInfo {
    std::string_view name;
    Type type;
};
constexpr KeyInfo kKeys[kKeyCount] = {
    {"ride", Type::Text},      {"version", Type::Number}, {"document", Type::Text},   {"documentHash", Type::Text},
    {"steps", Type::Number},   {"settings", Type::Switches}, {"event", Type::Text},  {"surface", Type::Text},
    {"group", Type::Text},     {"u", Type::Number},       {"v", Type::Number},        {"speed", Type::Number},
    {"direction", Type::Array}, {"step", Type::Number},   {"h", Type::Number},        {"force", Type::Array},
    {"centre", Type::Array},   {"radius", Type::Number},  {"viewHeight", Type::Number},
};

constexpr std::uint32_t bit(Key k) { return 1u << k; }

[[noreturn]] void fail(const std::string& what) { throw JsonLineError(what); }

std::string quoted(std::string_view name)
{
    std::string text(1, '"');
    text.append(name);
    text += '"';
    return text;
}

// One line's members, reused from line to line.
struct Line {
    std::uint32_t seen = 0;
    std::string text[kKeyCount];
    double number[kKeyCount] = {};
    double array[kKeyCount][3] = {};
    std::size_t count[kKeyCount] = {};
    RideSwitches switches;
    bool has(Key k) const { return (seen & bit(k)) != 0; }
};

Key keyOf(const std::string& name)
{
    for (std::uint8_t k = 0; k < kKeyCount; ++k)
        if (kKeys[k].name == name) return Key(k);
    fail(quoted(name) + " is not a field of a ride");
}

RideSwitches readSwitches(JsonLineReader& r)
{
    static constexpr std::string_view kNames[] = {"maxStepTime",    "bounce",         "pauseOnAir",
                                                  "pauseOnBounce", "pauseEachFrame", "preventSameSurface"};
    RideSwitches s;
    bool* const flags[] = {nullptr, &s.bounce, &s.pauseOnAir, &s.pauseOnBounce, &s.pauseEachFrame,
                           &s.preventSameSurface};
    unsigned seen = 0;
    std::string key;
    r.BeginObject();
    while (r.NextKey(key)) {
        unsigned k = 0;
        while (k < std::size(kNames) && kNames[k] != key) ++k;
        if (k == std::size(kNames)) fail(quoted(key) + " is not one of the ride's settings");
        if (seen & (1u << k)) fail("the setting " + quoted(key) + " appears twice");
        seen |= 1u << k;
        if (flags[k]) *flags[k] = r.Boolean();
        else s.maxStepTime = r.Number();
    }
    if (seen != (1u << std::size(kNames)) - 1) fail("the settings must give all of maxStepTime, bounce, "
                                                     "pauseOnAir, pauseOnBounce, pauseEachFrame, preventSameSurface");
    if (!(s.maxStepTime > 0.0 && s.maxStepTime <= kLongestStep))
        fail("the maximum step time must be above 0 and at most 1 second");
    return s;
}

void readLine(std::string_view text, Line& line, std::string& key)
{
    if (text.find_first_not_of(" \t\r") == std::string_view::npos) fail("the line is empty");
    JsonLineReader r(text);
    line.seen = 0;
    r.BeginObject();
    while (r.NextKey(key)) {
        const Key k = keyOf(key);
        if (line.has(k)) fail(quoted(key) + " appears twice");
        line.seen |= bit(k);
        switch (kKeys[k].type) {
        case Type::Text: line.text[k] = r.String(); break;
        case Type::Number: line.number[k] = r.Number(); break;
        case Type::Array: line.count[k] = r.Numbers(line.array[k], 3); break;
        case Type::Switches: line.switches = readSwitches(r); break;
        }
    }
    r.Finish();
}

std::string namesOf(std::uint32_t keys)
{
    std::string names;
    for (std::uint8_t k = 0; k < kKeyCount; ++k) {
        if (!(keys & bit(Key(k)))) continue;
        if (!names.empty()) names += ", ";
        names += quoted(kKeys[k].name);
    }
    return names;
}

// The line holds all of `required`, perhaps some of `optional`, nothing else.
void requireFields(const Line& line, std::uint32_t required, std::uint32_t optional, const char* what)
{
    if ((line.seen & required) == required && (line.seen & ~(required | optional)) == 0) return;
    std::string message = std::string(what) + " has the fields " + namesOf(required);
    if (optional) message += " and may have " + namesOf(optional);
    fail(message + ", and no others");
}

double finiteNumber(const Line& line, Key k)
{
    const double value = line.number[k];
    if (!std::isfinite(value)) fail(quoted(kKeys[k].name) + " must be a number");
    return value;
}

std::int32_t whole32(double value, std::string_view name)
{
    if (!(value >= INT32_MIN && value <= INT32_MAX) || value != std::floor(value))
        fail(quoted(name) + " must hold whole numbers of pixels");
    return static_cast<std::int32_t>(value);
}

const double* numbers(const Line& line, Key k, std::size_t count)
{
    if (line.count[k] != count) fail(quoted(kKeys[k].name) + " must hold " + std::to_string(count) + " numbers");
    return line.array[k];
}

// Reads the file line by line into the ride.
class RideReader {
public:
    explicit RideReader(RideRecord& ride) : ride_(ride) {}

    void Read(std::string_view row)
    {
        ++lineNumber_;
        if (ride_.end != RideEnd::None) fail("nothing may follow the end of the ride");
        if (lineNumber_ == 1) return header(row);
        readLine(row, line_, key_);
        if (lineNumber_ == 2) launch();
        else if (line_.has(kStep)) step();
        else event();
    }

    // The whole file has been read.
    void Finish()
    {
        ++lineNumber_;
        if (lineNumber_ == 1) fail("the file is empty");
        if (lineNumber_ == 2) fail("the file ends before the launch");
        if (static_cast<std::int64_t>(ride_.steps.size()) != declaredSteps_)
            fail("the file ends after " + std::to_string(ride_.steps.size()) + " of the ride's " +
                 std::to_string(declaredSteps_) + " steps");
    }

    std::size_t lineNumber() const { return lineNumber_; }

private:
    void header(std::string_view row)
    {
        try {
            readLine(row, line_, key_);
            if (!line_.has(kRide) || line_.text[kRide] != kRideMark) fail("its header has no \"ride\": \"marlwick\"");
        } catch (const JsonLineError& e) {
            fail(std::string("this is not a Marlwick ride (") + e.what() + ")");
        }
        requireFields(line_, bit(kRide) | bit(kVersion) | bit(kDocument) | bit(kDocumentHash) | bit(kSteps) |
                                 bit(kSettings), 0, "the header");
        if (line_.number[kVersion] != kRideFormatVersion)
            fail("this program reads rides of format version " + std::to_string(kRideFormatVersion) + " only");
        const std::string& hash = line_.text[kDocumentHash];
        const auto parsed = std::from_chars(hash.data(), hash.data() + hash.size(), ride_.documentHash, 16);
        if (hash.size() != 16 || parsed.ptr != hash.data() + hash.size())
            fail("\"documentHash\" must be 16 hexadecimal digits");
        const double steps = line_.number[kSteps];
        if (!(steps >= 0 && steps <= double(kMostSteps)) || steps != std::floor(steps))
            fail("\"steps\" must be a whole number from 0 to " + std::to_string(kMostSteps));
        declaredSteps_ = static_cast<std::int64_t>(steps);
        ride_.documentName = line_.text[kDocument];
        ride_.switches = switches_ = line_.switches;
    }

    void launch()
    {
        if (!line_.has(kEvent) || line_.text[kEvent] != "launch") fail("the second line must be the launch");
        requireFields(line_, bit(kEvent) | bit(kSurface) | bit(kGroup) | bit(kU) | bit(kV) | bit(kSpeed) | bit(kDirection),
                      0, "the launch");
        RideLaunch& l = ride_.launch;
        l.surface = NameFromUtf8(line_.text[kSurface]);
        l.group = NameFromUtf8(line_.text[kGroup]);
        l.u = line_.number[kU];
        l.v = line_.number[kV];
        if (!(l.u >= 0.0 && l.u <= 1.0 && l.v >= 0.0 && l.v <= 1.0)) fail("the launch's u and v must be from 0 to 1");
        // A launch speed or direction that is no number launches the ball at rest, as it did.
        l.speed = line_.number[kSpeed];
        const double* d = numbers(line_, kDirection, 3);
        l.direction = {d[0], d[1], d[2]};
    }

    void step()
    {
        requireFields(line_, bit(kStep) | bit(kH) | bit(kCentre), bit(kForce), "a step");
        const double expected = double(ride_.steps.size() + 1);
        if (line_.number[kStep] != expected)
            fail("step " + std::to_string(ride_.steps.size() + 1) + " was expected here");
        if (static_cast<std::int64_t>(ride_.steps.size()) >= declaredSteps_)
            fail("the ride has more steps than its header's " + std::to_string(declaredSteps_));
        RideStep s;
        s.h = line_.number[kH];
        if (!(s.h > 0.0 && s.h <= switches_.maxStepTime))
            fail("the step length must be above 0 and at most the maximum step time");
        const double* c = numbers(line_, kCentre, 3);
        s.centre = {c[0], c[1], c[2]};
        if (!isFinite(s.centre)) fail("\"centre\" must hold three numbers");
        if (line_.has(kForce)) {
            const double* f = numbers(line_, kForce, 2);
            s.forceActive = true;
            s.forceX = whole32(f[0], "force");
            s.forceY = whole32(f[1], "force");
        }
        ride_.steps.push_back(s);
    }

    void event()
    {
        if (!line_.has(kEvent)) fail("a line must be a step or an event");
        const std::string& name = line_.text[kEvent];
        const std::size_t next = ride_.steps.size();
        if (name == "settings") {
            requireFields(line_, bit(kEvent) | bit(kSettings), 0, "a change of the settings");
            ride_.changes.push_back({RideChange::Switches, next, line_.switches, {}});
            switches_ = line_.switches;
        } else if (name == "circle") {
            requireFields(line_, bit(kEvent) | bit(kCentre) | bit(kRadius) | bit(kViewHeight), 0, "a circle");
            const double* c = numbers(line_, kCentre, 2);
            ForceCircleLayout circle{whole32(c[0], "centre"), whole32(c[1], "centre"), finiteNumber(line_, kRadius),
                                     whole32(line_.number[kViewHeight], "viewHeight")};
            ride_.changes.push_back({RideChange::Circle, next, {}, circle});
        } else {
            requireFields(line_, bit(kEvent), 0, "the end of a ride");
            for (RideEnd end : {RideEnd::Pause, RideEnd::Stop, RideEnd::Position})
                if (name == endName(end)) ride_.end = end;
            if (ride_.end == RideEnd::None)
                fail("the event " + quoted(name) + " is none of settings, circle, pause, stop, position");
        }
    }

    RideRecord& ride_;
    Line line_;
    std::string key_;
    std::size_t lineNumber_ = 0;
    std::int64_t declaredSteps_ = 0;
    RideSwitches switches_;
};

} // namespace

std::uint64_t RideDocumentHash(COpenGLTemplateDoc& document) { return RideDocumentHash(document.SerializeDocument()); }

std::uint64_t RideDocumentHash(const std::vector<std::uint8_t>& bytes)
{
    // A written document always has its whole head and tail.
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t k = kDocumentHeadBytes - kBallRadiusBytes; k + kDocumentTailBytes < bytes.size(); ++k)
        hash = (hash ^ bytes[k]) * 1099511628211ull;
    return hash;
}

std::string RideOfAnotherDocument(const std::string& ride)
{
    return ride + " was recorded on another version of the document";
}

std::string RideText(const RideRecord& ride)
{
    std::string text;
    JsonLineWriter header;
    header.Field("ride", kRideMark).Field("version", std::int64_t(kRideFormatVersion));
    header.Field("document", ride.documentName).Field("documentHash", hexOf(ride.documentHash));
    header.Field("steps", std::int64_t(ride.steps.size()));
    writeSwitches(header, ride.switches);
    header.AppendTo(text);

    const RideLaunch& l = ride.launch;
    const double direction[3] = {l.direction.x, l.direction.y, l.direction.z};
    JsonLineWriter launch;
    launch.Field("event", "launch").Field("surface", NameToUtf8(l.surface)).Field("group", NameToUtf8(l.group));
    launch.Field("u", l.u).Field("v", l.v).Field("speed", l.speed).Field("direction", direction, 3).AppendTo(text);

    auto change = ride.changes.begin();
    for (std::size_t k = 0; k < ride.steps.size(); ++k) {
        for (; change != ride.changes.end() && change->beforeStep <= k; ++change) writeChange(text, *change);
        writeStep(text, k, ride.steps[k]);
    }
    if (ride.end != RideEnd::None) JsonLineWriter().Field("event", endName(ride.end)).AppendTo(text);
    return text;
}

std::string ParseRideText(std::string_view text, RideRecord& ride)
{
    ride = RideRecord();
    RideReader reader(ride);
    try {
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            reader.Read(text.substr(start, end - start));
            start = end + 1;
        }
        reader.Finish();
    } catch (const JsonLineError& e) {
        return "line " + std::to_string(reader.lineNumber()) + ": " + e.what();
    }
    return {};
}

bool SaveRideFile(const std::string& path, const RideRecord& ride, std::string& error)
{
    const std::string text = RideText(ride);
    return WriteFileReplacing(path, std::vector<std::uint8_t>(text.begin(), text.end()), error);
}

bool LoadRideFile(const std::string& path, RideRecord& ride, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) return false;
    const std::string problem =
        ParseRideText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), ride);
    if (problem.empty()) return true;
    error = path + " is not a ride that can be replayed: " + problem + ".";
    return false;
}
