#include "CAboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Marlwick"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("<b>Marlwick</b><br>A ball rolling on channel surfaces"), this);
    auto* usage = new QLabel(QStringLiteral(
        "Left drag turns the scene; Ctrl or Shift keeps the turn to one axis, Tab picks the next axis, "
        "Escape undoes the drag.\n"
        "Right drag up or down, or the Insert and Delete keys, zoom.\n"
        "Position ball, then move the mouse to choose the launch (up: faster; left and right: direction), "
        "click to fix it and click again (or Roll ball) to roll.\n"
        "While the ball rolls, hold the left button inside the circle to push it.\n"
        "Keys 1 to 9 put the focal point on a piece of the ball's last rolling step."),
        this);
    usage->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(name);
    layout->addWidget(usage);
    layout->addWidget(buttons);
}
