#include "CommandLine.h"
#include "OpenGLTemplateApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (AsksForHelpOrVersion(argc, argv)) {
        const QCoreApplication reader(argc, argv);
        return AnswerStartupRequest(ReadStartupArguments(QCoreApplication::arguments()));
    }
    OpenGLTemplateApp::PrepareEnvironment();
    QApplication application(argc, argv);
    const StartupRequest request = ReadStartupArguments(QCoreApplication::arguments());
    if (request.action != StartupRequest::Action::Run) return AnswerStartupRequest(request);
    QStringList arguments{QCoreApplication::arguments().constFirst()};
    if (!request.document.isEmpty()) arguments << request.document;
    OpenGLTemplateApp app;
    if (!app.InitInstance(arguments)) return 1;
    return QApplication::exec();
}
