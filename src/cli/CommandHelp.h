#pragma once

// What marlwick-cli says about its commands: one row per command, from which
// the overview, a command's own help and its short usage are all written.

#include <iosfwd>
#include <span>
#include <string>

namespace cli {

struct OptionHelp {
    const char* form;     // "--steps N"
    const char* sentence; // what it does, with its default
};

struct CommandHelp {
    const char* name;     // "simulate"
    const char* synopsis; // the arguments after the name: "FILE.mwk [options]"
    const char* sentence; // what the command does
    std::span<const OptionHelp> options;
    bool rideOptions = false; // also takes the options of a ball run (simulate's)
};

// "usage: marlwick-cli NAME SYNOPSIS"
std::string ShortUsage(const CommandHelp& command);

// The whole help: how to call the tool, the commands one per line with their
// sentence, then each command's options.
void WriteOverview(std::ostream& out, std::span<const CommandHelp> commands);

// One command's help: its usage, sentence and options.
void WriteCommandHelp(std::ostream& out, const CommandHelp& command);

} // namespace cli
