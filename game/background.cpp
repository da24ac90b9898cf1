// The cycling background colour: three clocks that live as long as the program, the noise that
// turns two of them into saturation and brightness, and the HSV conversion. Single precision in a
// fixed order, so a sequence of frames repeats to the last bit.
#include "background.h"

#include "noise.h"

#include <cmath>

// ---- Data --------------------------------------------------------------------------------------

// Per-frame steps of the clocks: a full sweep of the hues takes 7200 frames.
static const float hueStep = 0.05f;
static const float noiseStep = 0.005f;
// Noise maps onto 0.3..0.65 for both saturation and value. The span is one unit in the last place
// below 0.35 (bits 0x3EB33332), which the colours are reproduced with.
static const float noiseSpan = 0.34999996f;
static const float noiseFloor = 0.3f;

// Lives for the whole program: runs, restarts and screen changes carry on from where it was.
static BackgroundState programBackground;

// ---- Helpers -----------------------------------------------------------------------------------

// Noise in -1..1 squeezed into 0.3..0.65.
static float noiseLevel(float time) {
    return (noise1D(time) * 0.5f + 0.5f) * noiseSpan + noiseFloor;
}

// ---- Public functions --------------------------------------------------------------------------

Vec4 backgroundColour() {
    return advanceBackground(programBackground);
}

const BackgroundState& currentBackgroundState() {
    return programBackground;
}

Vec4 advanceBackground(BackgroundState& state) {
    state.hueTime += hueStep;
    state.valueNoiseTime += noiseStep;
    state.saturationNoiseTime += noiseStep;
    float s = noiseLevel(state.saturationNoiseTime);
    float v = noiseLevel(state.valueNoiseTime);
    return hsvColour(state.hueTime, s, v);
}

Vec4 hsvColour(float h, float s, float v) {
    float c = v * s;
    float x = (1.0f - fabsf(fmodf(h / 60.0f, 2.0f) - 1.0f)) * c;
    float m = v - c;

    // The hue is never wrapped, so everything from 300 on stays in the last sector and only x
    // keeps swinging: the colour rocks between red and magenta for good.
    Vec4 rgb;
    if (h < 60.0f)
        rgb = {c, x, 0.0f, 1.0f};
    else if (h < 120.0f)
        rgb = {x, c, 0.0f, 1.0f};
    else if (h < 180.0f)
        rgb = {0.0f, c, x, 1.0f};
    else if (h < 240.0f)
        rgb = {0.0f, x, c, 1.0f};
    else if (h < 300.0f)
        rgb = {x, 0.0f, c, 1.0f};
    else
        rgb = {c, 0.0f, x, 1.0f};
    return {rgb.x + m, rgb.y + m, rgb.z + m, 1.0f};
}
