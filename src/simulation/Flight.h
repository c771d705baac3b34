#pragma once

// The ball advance of a step: rolling, or flight with the search for the
// nearest impact over all surfaces and the bounce or landing that follows.

class COpenGLTemplateDoc;

// Advances the ball by its displacement (the velocity update has been done).
// Rolling: over the surfaces, then lift-off or the rolling update. Flying:
// the step's segment against every simulated surface; the nearest hit (the
// earlier surface on a tie) bounces the ball when it is fast and steep
// enough, and lands it otherwise, rolling the rest of the step.
void AdvanceBall(COpenGLTemplateDoc& document);
