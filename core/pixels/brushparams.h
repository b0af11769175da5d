#pragma once
// One frame's copy of the brush parameters, read once from the shared
// globals and held to their ranges, so a value from a preset file or a
// half-written slider can neither index past the particle arrays, divide by
// zero, nor keep a stroke from ending. The engine, the particle chain and
// stroke painting all take this one type.

// The particle slots of the chain: the largest f_PartNum.
constexpr int kParticleCount = 300;

// Brush styles of f_modes.
enum BrushStyle { kStyleWyrle = 0, kStyleFollow = 1, kStyleRibbon = 2 };

// The defaults are the reset brush's values, with the opacity set-up gives
// (the reset leaves f_opacityz alone).
struct BrushParams {
    int partNum = 100;         // f_PartNum: particles drawn, 2..300
    float velInf = 0.15f;      // f_velInf: pull of the pointer, 0.002..1
    float distZ = 90.0f;       // f_DistZ: softening distance of the pull, 0..300
    float slow1 = 0.88f;       // f_slow1: velocity kept per frame, 0.1..0.97
    float normLen = 1.0f;      // f_NormLen: spring length unit, 0..2.5
    float mass1 = 50.0f;       // f_mass1: base mass, 0..250
    float mass2 = 1.0f;        // f_mass2: mass step along the chain, 0.001..4
    float randd = 0.0f;        // f_randd: random share of the mass, 0..100
    int modes = kStyleWyrle;   // f_modes: 0..2
    int partStep = 1;          // f_PartStep: line mode paints every n-th particle, 1..20
    int paintDetail = 1;       // f_paintDetail: 1..4
    float fadez = 10.0f;       // f_fadez: fade speed, 0 (off)..10
    bool fillz = true;         // f_fillz: ribbons, else lines
    bool spline = true;        // f_spline: spline trails, else straight segments
    float opacityz = 40.0f;    // f_opacityz: 1..100
};

// f_PartNum held to 2..kParticleCount.
inline int clampPartNum(int n) { return n < 2 ? 2 : (n > kParticleCount ? kParticleCount : n); }

// Brings every field into its range: integers (the style too) are clamped,
// a non-finite float becomes its default, a finite one is clamped.
BrushParams clampBrushParams(const BrushParams& raw);

// Reads the brush globals once and clamps them.
BrushParams snapshotBrushParams();
