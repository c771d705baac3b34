#include "OpenGLTemplateApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    OpenGLTemplateApp::PrepareEnvironment();
    QApplication application(argc, argv);
    OpenGLTemplateApp app;
    if (!app.InitInstance(QCoreApplication::arguments())) return 1;
    return QApplication::exec();
}
