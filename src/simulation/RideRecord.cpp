#include "simulation/RideRecord.h"

#include "document/OpenGLTemplateDoc.h"
#include "simulation/SharedSettings.h"

RideSwitches SwitchesOf(const COpenGLTemplateDoc& d)
{
    RideSwitches s;
    s.maxStepTime = d.simulation.maxStepTime;
    s.bounce = ReadSetting(d.bounceEnabled);
    s.pauseOnAir = ReadSetting(d.pauseOnAir);
    s.pauseOnBounce = ReadSetting(d.pauseOnBounce);
    s.pauseEachFrame = ReadSetting(d.pauseEachFrame);
    s.preventSameSurface = ReadSetting(d.preventSameSurfaceImpact);
    return s;
}

void ApplySwitches(COpenGLTemplateDoc& d, const RideSwitches& s)
{
    d.simulation.maxStepTime = s.maxStepTime;
    WriteSetting(d.bounceEnabled, s.bounce);
    WriteSetting(d.pauseOnAir, s.pauseOnAir);
    WriteSetting(d.pauseOnBounce, s.pauseOnBounce);
    WriteSetting(d.pauseEachFrame, s.pauseEachFrame);
    WriteSetting(d.preventSameSurfaceImpact, s.preventSameSurface);
}

RideLaunch LaunchOf(const COpenGLTemplateDoc& d)
{
    RideLaunch launch;
    launch.surface = textOf(d.ballStartSurfaceName);
    launch.group = textOf(d.ballStartGroupName);
    launch.u = d.ballStartU;
    launch.v = d.ballStartV;
    launch.speed = d.launchSpeed;
    launch.direction = d.launchDirection;
    return launch;
}
