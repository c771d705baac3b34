// The window tests' program: `marlwick_window_tests [CLASS] [QtTest options]`
// runs one window test class (all of them when none is named) in a real
// window, with the program's own preparation before the application object exists.

#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"

#include <QApplication>

int main(int argc, char** argv)
{
    OpenGLTemplateApp::PrepareEnvironment();
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    return qttests::RunRegistered(argc, argv);
}
