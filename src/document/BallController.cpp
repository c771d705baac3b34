#include "document/BallController.h"

#include <algorithm>

CBallController::CBallController(double radius)
    : rotation(InitialRotation()), rotationAtPress(rotation), ballRadius(std::clamp(radius, 0.1, 1.0))
{
}

unitquaternion CBallController::InitialRotation()
{
    const unitquaternion qy(-2.0943951023928, Vec3{0.0, 1.0, 0.0});
    const unitquaternion qx(-0.5235987755982, Vec3{1.0, 0.0, 0.0});
    return unitquaternion(product(qy, qx));
}
