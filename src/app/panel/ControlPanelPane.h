#pragma once

// The main frame's right pane: the control panel in a scroll area, since the
// panel is taller and wider than the pane. The pane itself takes no focus and
// scrolls to whichever of the panel's controls gets it.

#include <QScrollArea>

class ControlPanelForm;

class ControlPanelPane : public QScrollArea {
    Q_OBJECT

public:
    explicit ControlPanelPane(ControlPanelForm* panel, QWidget* parent = nullptr);
};
