#pragma once

// What the control panel asks of the view: the ball and camera commands that
// need the view's threads or its orbit camera. The view implements them; the
// panel's tests give a stand-in that works on the document alone.

#include <QString>

class PanelViewCommands {
public:
    virtual ~PanelViewCommands() = default;

    // "Position ball": the message to show, empty when the ball was placed.
    virtual QString PositionBallCommand() = 0;
    // Stops the ball with the render thread held between frames.
    virtual void StopBallCommand() = 0;
    // "Camera follows ball :" on or off.
    virtual void SetCameraFollowsBall(bool follow) = 0;
    // "Set focal point at ball", with both worker threads held.
    virtual void FocalPointAtBallCommand() = 0;
};
