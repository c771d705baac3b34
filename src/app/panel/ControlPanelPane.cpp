#include "panel/ControlPanelPane.h"

#include "panel/ControlPanelForm.h"

#include <QApplication>

ControlPanelPane::ControlPanelPane(ControlPanelForm* panel, QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("controlPanelPane"));
    setFocusPolicy(Qt::NoFocus);
    setWidget(panel);
    setWidgetResizable(true);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && widget() && widget()->isAncestorOf(now)) ensureWidgetVisible(now);
    });
}
