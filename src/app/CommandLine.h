#pragma once

// The program's command line: an optional document to open, --help and
// --version.

#include <QString>
#include <QStringList>

struct StartupRequest {
    enum class Action { Run, Print, Refuse };
    Action action = Action::Run;
    QString document; // Run: the document to open, empty for a new one
    QString text;     // Print: the help or the version; Refuse: what is wrong and the usage
};

// True when the command line asks for help or the version, which are
// answered before the window system is touched, so they need no display.
bool AsksForHelpOrVersion(int argc, char** argv);

// Reads the arguments, the program's name first. Needs a QCoreApplication.
StartupRequest ReadStartupArguments(const QStringList& arguments);

// Prints a Print or Refuse request's text (to standard output or error) and
// returns the program's exit code: 0 when printed, 1 for a refusal, 2 when
// standard output cannot be written.
int AnswerStartupRequest(const StartupRequest& request);
