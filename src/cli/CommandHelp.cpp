#include "cli/CommandHelp.h"

#include <algorithm>
#include <cstring>
#include <ostream>

namespace cli {

namespace {

constexpr OptionHelp kRideOptions[] = {
    {"--steps N", "physics steps to run (simulate and profile: 500; render: none)"},
    {"--dt H", "the length of every step in seconds, above 0 and at most 1 (the document's longest step)"},
    {"--speed S", "the launch speed, from 0 to 1000 (the document's)"},
    {"--direction X,Y,Z", "the launch direction, not all zero (the document's)"},
    {"--start SURFACE,GROUP,U,V", "where the ball starts, U and V from 0 to 1 (the document's ball start)"},
    {"--pause-on-air", "stop when the ball leaves the surface"},
    {"--pause-on-bounce", "stop when the ball bounces"},
    {"--prevent-same-surface", "a ball in flight cannot land on the surface it left"},
    {"--no-bounce", "a ball that meets a surface lands on it instead of bouncing"},
    {"--pause-each-frame", "stop after every step"},
};

constexpr const char* kIndent = "  ";

std::size_t widestOption(std::span<const OptionHelp> options)
{
    std::size_t widest = 0;
    for (const OptionHelp& o : options) widest = std::max(widest, std::strlen(o.form));
    return widest;
}

void writeOptions(std::ostream& out, std::span<const OptionHelp> options, std::size_t width)
{
    for (const OptionHelp& o : options)
        out << kIndent << kIndent << o.form << std::string(width + 2 - std::strlen(o.form), ' ') << o.sentence << '\n';
}

} // namespace

std::string ShortUsage(const CommandHelp& command)
{
    return std::string("usage: marlwick-cli ") + command.name + " " + command.synopsis;
}

void WriteOverview(std::ostream& out, std::span<const CommandHelp> commands)
{
    out << "marlwick-cli reads, builds, rolls the ball over and draws Marlwick documents (.mwk) without a window.\n\n"
           "Usage:\n"
        << kIndent << "marlwick-cli COMMAND ARGUMENTS [options]\n"
        << kIndent << "marlwick-cli help [COMMAND]   (or COMMAND --help)\n"
        << kIndent << "marlwick-cli --version\n\nCommands:\n";
    std::size_t width = 0;
    for (const CommandHelp& c : commands) width = std::max(width, std::strlen(c.name));
    for (const CommandHelp& c : commands)
        out << kIndent << c.name << std::string(width + 2 - std::strlen(c.name), ' ') << c.sentence << '\n';
    out << "\nArguments and options:\n";
    for (const CommandHelp& c : commands) {
        out << kIndent << "marlwick-cli " << c.name << ' ' << c.synopsis << '\n';
        writeOptions(out, c.options, widestOption(c.options));
        if (c.rideOptions) out << kIndent << kIndent << "and the ball run's options (below)\n";
    }
    out << "\nThe ball run's options (simulate, render, profile):\n";
    writeOptions(out, kRideOptions, widestOption(kRideOptions));
    out << "\nExit status:\n"
        << kIndent << "0 done; 1 a usage error (or a surface the document does not have); 2 a file that cannot be\n"
        << kIndent << "read or written, or a missing start surface; 3 a recipe step the design refused (build) or\n"
        << kIndent << "no OpenGL to draw with (render).\n"
        << "\nNames are printed and taken in UTF-8. The surface library and the cross-section templates are\n"
           "your own copies in $XDG_DATA_HOME/marlwick (~/.local/share/marlwick), made from the shipped ones\n"
           "on first use.\n";
}

void WriteCommandHelp(std::ostream& out, const CommandHelp& command)
{
    out << ShortUsage(command) << "\n\n" << command.sentence << '\n';
    if (command.options.empty() && !command.rideOptions) return;
    const std::size_t width =
        std::max(widestOption(command.options), command.rideOptions ? widestOption(kRideOptions) : 0);
    out << "\nOptions:\n";
    writeOptions(out, command.options, width);
    if (command.rideOptions) writeOptions(out, kRideOptions, width);
}

} // namespace cli
