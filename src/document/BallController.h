#pragma once

#include "geometry/Quaternion.h"

// The arcball that turns the scene in the orbit camera: its virtual ball and
// the scene's orientation. The mouse handling and the feedback drawing belong
// to the view.
class CBallController {
public:
    // The radius (normalised window units) is clamped to [0.1, 1.0].
    explicit CBallController(double radius);

    // The orientation of a new document: -120 degrees about y, then -30 degrees about x.
    static unitquaternion InitialRotation();

    unitquaternion rotation;
    unitquaternion rotationAtPress;
    double ballRadius;
    double windowWidth = 0.0, windowHeight = 0.0;
};
