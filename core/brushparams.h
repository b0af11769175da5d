#pragma once
// The brush parameters as one frame uses them: read once from the shared
// globals and held to their ranges, so a value from a preset file or a
// half-written slider can neither index past the particle arrays, divide by
// zero, nor keep a stroke from ending.

struct BrushParameters {
    int partNum;      // particles drawn, 2..300
    int partStep;     // line mode draws every n-th particle, 1..20
    int paintDetail;  // 1..4
    int modes;        // 0 "Wyrle", 1 "Follow", 2 "Ribbon"
    float velInf;
    float distZ;
    float slow1;
    float normLen;
    float mass1;
    float mass2;
    float randd;
    float fadez;      // at least 0
    float opacityz;   // 1..100
    bool fillz;
    bool spline;
};

// The particle slots of the chain.
const int kParticleSlots = 300;

// Holds every field to its range; a non-finite float becomes `fallback`'s value.
BrushParameters clampBrushParameters(const BrushParameters& raw, const BrushParameters& fallback);
// The default brush (as the brush reset leaves it, with opacity 40).
BrushParameters defaultBrushParameters();
// The shared globals, clamped.
BrushParameters readBrushParameters();
