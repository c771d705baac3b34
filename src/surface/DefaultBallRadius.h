#pragma once

// Radius of the ball of a new document, in scene units; also the radius used
// for a surface without a document.
inline constexpr double kDefaultBallRadius = 0.3333333333;
