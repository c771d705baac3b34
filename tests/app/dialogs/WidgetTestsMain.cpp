// The widget tests' program: `marlwick_widget_tests [CLASS] [QtTest options]`
// runs the test class of the control panel or of one design dialog (all of
// them when none is named), without a view.

#include "QtTestRegistry.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    return qttests::RunRegistered(argc, argv);
}
