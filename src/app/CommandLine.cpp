#include "CommandLine.h"

#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelpWords[] = {"-h", "--help", "-v", "--version"};

constexpr const char* kFilesNote =
    "\nFiles:\n"
    "  $XDG_DATA_HOME/marlwick (~/.local/share/marlwick)  your surface library and cross-section templates,\n"
    "                                                    made from the shipped ones at the first start\n"
    "  $XDG_CONFIG_HOME/Marlwick (~/.config/Marlwick)    the recent files\n";

} // namespace

bool AsksForHelpOrVersion(int argc, char** argv)
{
    for (int k = 1; k < argc; ++k)
        for (const char* word : kHelpWords)
            if (std::strcmp(argv[k], word) == 0) return true;
    return false;
}

StartupRequest ReadStartupArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Marlwick designs tracks of smooth B-spline channel surfaces and rolls, flies and bounces a ball down them."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FILE.mwk"), QStringLiteral("A document to open instead of a new one."),
                                 QStringLiteral("[FILE.mwk]"));
    const QString usage = QStringLiteral("usage: marlwick [--help] [--version] [FILE.mwk]");

    StartupRequest request;
    if (!parser.parse(arguments)) {
        request.action = StartupRequest::Action::Refuse;
        request.text = parser.errorText() + QLatin1Char('\n') + usage;
    } else if (parser.isSet(help)) {
        request.action = StartupRequest::Action::Print;
        request.text = parser.helpText() + QLatin1String(kFilesNote);
    } else if (parser.isSet(version)) {
        request.action = StartupRequest::Action::Print;
        request.text = QStringLiteral("marlwick " MARLWICK_VERSION "\n");
    } else if (parser.positionalArguments().size() > 1) {
        request.action = StartupRequest::Action::Refuse;
        request.text = QStringLiteral("Only one document can be opened at a time.\n") + usage;
    } else if (!parser.positionalArguments().isEmpty()) {
        request.document = parser.positionalArguments().constFirst();
    }
    return request;
}

int AnswerStartupRequest(const StartupRequest& request)
{
    const QByteArray text = request.text.toLocal8Bit();
    if (request.action == StartupRequest::Action::Refuse) {
        std::fprintf(stderr, "marlwick: %s\n", text.constData());
        return 1;
    }
    const bool written = std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout) ==
                             static_cast<std::size_t>(text.size()) &&
                         std::fflush(stdout) == 0;
    if (written) return 0;
    std::fputs("marlwick: cannot write to standard output\n", stderr);
    return 2;
}
