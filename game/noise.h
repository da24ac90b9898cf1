// One- and two-dimensional simplex noise over a fixed 256-entry permutation, and their fractal
// octave sums. Pure functions of their arguments: no state, no allocation, single precision
// throughout so that results repeat to the last bit.
#pragma once

#include <cstddef>
#include <cstdint>

// How the octaves of a fractal sum are spread; every field must be filled by the caller.
struct FractalNoise {
    float frequency;   // scale applied to the input of the first octave
    float amplitude;   // weight of the first octave
    float lacunarity;  // factor applied to the frequency after each octave
    float persistence; // factor applied to the amplitude after each octave
};

// The hash table behind every lattice point: a permutation of 0..255.
extern const uint8_t noisePermutation[256];

// Floor by truncation: (int)x, one lower when that lies above x. x must fit in 32 bits.
int32_t fastFloor(float x);
// Simplex noise along a line, about -1..1; exactly 0 at every integer.
float noise1D(float x);
// Simplex noise over the plane, about -1..1; exactly 0 at the origin.
float noise2D(float x, float y);
// Weighted average of octaves of noise1D; zero octaves give 0.
float fractal1D(const FractalNoise& fractal, size_t octaves, float x);
// Weighted average of octaves of noise2D; zero octaves give 0.
float fractal2D(const FractalNoise& fractal, size_t octaves, float x, float y);
