#pragma once

// The camera that follows the ball: its placement behind and above the ball
// on a surface or in flight, the follow distance, and the lagging camera that
// turns toward its target by a bounded angle per step.

#include "simulation/BallRecords.h"

class COpenGLTemplateDoc;
struct FollowCameraState;

// D from the ball's speed: 13 up to speed 0.5, 21 from speed 10, linear between.
double FollowDistanceForSpeed(const FollowCameraState& camera, double speed);

// The camera placement of a record on a surface (or with the vertical switch):
// behind the ball along its velocity, raised by the elevation angle about the
// reference up. None (false) when the record gives no direction.
bool SurfacePlacement(const FollowCameraState& camera, const BallState& record, const Vec3& referenceUp,
                      double distance, CameraPlacement& placement);

// The placement of a record in flight: kept to the vertical, swinging aside
// after the apex. Advances the flight counters.
bool FlightPlacement(FollowCameraState& camera, const BallState& record, const Vec3& vertical, double distance,
                     CameraPlacement& placement);

// Computes the target camera from record k of the future path (the present
// state is record 0). A record that gives no direction keeps the last target.
void ComputeFollowCamera(COpenGLTemplateDoc& document, int k);

// One lagging step of the active camera toward the target for a ball at
// `ball`: on target when within the maximum turn and the distance tolerance,
// otherwise turned by at most the maximum turn and moved by at most the
// tolerance. Returns true when the camera is on target.
bool StepLaggingCamera(FollowCameraState& camera, const Vec3& ball);

// StepLaggingCamera on the document's camera under its camera lock.
void UpdateLaggingCamera(COpenGLTemplateDoc& document);

// The follow camera of one step: the target from the present state, then the
// active camera set at once ("In present", or after a pseudo-surface jump)
// or lagging, and its eye appended to the camera path.
void UpdateFollowCamera(COpenGLTemplateDoc& document);

// The launch preview while the launch is being chosen: the ball at its start
// moving with the chosen launch (PlaceBall), published as the present state,
// and the follow camera placed at once behind it at 21 times the orbit
// distance. Nothing without a ball surface.
void PreviewLaunch(COpenGLTemplateDoc& document, double orbitDistance);

// Forgets the lagging steps counted since the camera was last on target.
void ResetCameraLag(FollowCameraState& camera);
