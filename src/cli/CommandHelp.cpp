#include "cli/CommandHelp.h"

#include <algorithm>
#include <ostream>
#include <vector>

namespace cli {

namespace {

constexpr OptionHelp kRideOptions[] = {
    {"--steps N", "physics steps to run (simulate and profile: 500; render: none; movie: instead of --seconds)"},
    {"--dt H", "the length of every step in seconds, from 0.0001 to 1 (the document's longest step)"},
    {"--speed S", "the launch speed, from 0 to 1000 (the document's)"},
    {"--direction X,Y,Z", "the launch direction, not all zero (the document's)"},
    {"--start SURFACE,GROUP,U,V", "where the ball starts, U and V from 0 to 1 (the document's ball start)"},
    {"--pause-on-air", "stop when the ball leaves the surface"},
    {"--pause-on-bounce", "stop when the ball bounces"},
    {"--prevent-same-surface", "a ball in flight cannot land on the surface it left"},
    {"--no-bounce", "a ball that meets a surface lands on it instead of bouncing"},
    {"--pause-each-frame", "stop after every step"},
    {"--replay RIDE.mwkride", "run a ride saved by the program, step for step, and check every position"},
};

constexpr const char* kIndent = "  ";

struct Row {
    std::string tag, text;
};

// Two columns: the tags, then the texts lined up after the widest tag.
void writeRows(std::ostream& out, const std::vector<Row>& rows)
{
    std::size_t width = 0;
    for (const Row& row : rows) width = std::max(width, row.tag.size());
    for (const Row& row : rows) out << kIndent << row.tag << std::string(width + 2 - row.tag.size(), ' ') << row.text << '\n';
}

std::vector<Row> optionRows(std::span<const OptionHelp> options)
{
    std::vector<Row> rows;
    for (const OptionHelp& o : options) rows.push_back({o.form, o.sentence});
    return rows;
}

void writeFooter(std::ostream& out)
{
    out << "\nExit status:\n";
    writeRows(out, {{"0", "done"},
                    {"1", "a usage error, or a surface the document does not have"},
                    {"2", "a file that cannot be read or written, or a missing start surface"},
                    {"3", "a recipe step the design refused (build), or no OpenGL to draw with (render)"},
                    {"4", "a replayed ride that left its record (--replay)"},
                    {"5", "a movie stopped by Ctrl+C or SIGTERM: nothing written"}});
    out << "\nFiles:\n";
    writeRows(out, {{"$XDG_DATA_HOME/marlwick", "your surface library and cross-section templates"},
                    {"", "(~/.local/share/marlwick), made from the shipped ones on first use"}});
    out << "\nNames are printed and taken in UTF-8.\n";
}

} // namespace

std::string ShortUsage(const CommandHelp& command)
{
    return std::string("usage: marlwick-cli ") + command.name + " " + command.synopsis;
}

void WriteOverview(std::ostream& out, std::span<const CommandHelp> commands)
{
    out << "Usage: marlwick-cli COMMAND ARGUMENTS [options]\n"
           "  or:  marlwick-cli help [COMMAND]   (or: marlwick-cli COMMAND --help)\n"
           "  or:  marlwick-cli --version\n"
           "Reads, builds, rolls the ball over and draws Marlwick documents (.mwk) without a window.\n\n"
           "Commands:\n";
    std::vector<Row> sentences, synopses;
    for (const CommandHelp& c : commands) {
        sentences.push_back({c.name, c.sentence});
        synopses.push_back({c.name, c.synopsis});
    }
    writeRows(out, sentences);
    out << "\nArguments:\n";
    writeRows(out, synopses);
    for (const CommandHelp& c : commands) {
        if (c.options.empty()) continue;
        out << "\nOptions of " << c.name << ":\n";
        writeRows(out, optionRows(c.options));
        if (c.rideOptions) out << kIndent << "and the options of a ball run\n";
    }
    out << "\nOptions of a ball run (simulate, render, profile):\n";
    writeRows(out, optionRows(kRideOptions));
    writeFooter(out);
}

void WriteCommandHelp(std::ostream& out, const CommandHelp& command)
{
    out << ShortUsage(command) << "\n\n" << command.sentence << '\n';
    if (command.options.empty() && !command.rideOptions) return;
    std::vector<Row> rows = optionRows(command.options);
    if (command.rideOptions)
        for (const OptionHelp& o : kRideOptions) rows.push_back({o.form, o.sentence});
    out << "\nOptions:\n";
    writeRows(out, rows);
}

} // namespace cli
