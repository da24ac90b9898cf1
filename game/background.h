// The play screen's background colour: a hue that drifts a little every frame, with saturation and
// brightness wandering under one-dimensional simplex noise. Relies on the noise module.
#pragma once

#include "maths.h"

// The three clocks behind the colour. The program keeps one for its whole life; the value
// clock starts far from the saturation one so the two wander independently.
struct BackgroundState {
    float hueTime = 0.0f;             // degrees of hue, never wrapped
    float saturationNoiseTime = 0.0f; // input of the saturation noise
    float valueNoiseTime = -1280.0f;  // input of the brightness noise
};

// The next frame's colour (RGBA, opaque): advances the program's clocks once and reads them.
Vec4 backgroundColour();
// The program's clocks as they are now, before the next backgroundColour call.
const BackgroundState& currentBackgroundState();
// Advances the given clocks by one frame and returns the colour for their new values.
Vec4 advanceBackground(BackgroundState& state);
// Hue h in degrees (not wrapped: 300 and above stays in the magenta-red sector), saturation and
// value in 0..1, to an opaque RGBA colour.
Vec4 hsvColour(float h, float s, float v);
