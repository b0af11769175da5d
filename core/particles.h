#pragma once
// The brush's particle chain: 300 simulated particles pulled towards the
// pointer, tied by springs and damped, in the styles "Wyrle", "Follow" and
// "Ribbon". No GL, no wx: plain data and functions, so the engine and the
// tests drive the same code.
//
// How the engine uses it (all on the render thread):
//   - once per frame, before anything reads a brush parameter:
//       BrushParams params = snapshotBrushParams();
//     (the only place that reads the shared brush globals; every value comes
//     back clamped to its range, so a bad preset can neither overrun the
//     arrays nor hang the frame);
//   - for f_setStrings, the brush reset and set-up:
//       setupStrings(chain, params, pointerX, pointerY);
//   - frame step, after panning:  particleStep(chain, params, pointerX, pointerY);
//   - render, after painting:     shiftTrail(chain);
// The engine keeps one ParticleChain member; its fields carry the names the
// rest of the engine uses (chain.nowX, chain.last2Y, chain.mass, ...).

constexpr int kParticleCount = 300;

// Brush styles of f_modes.
enum BrushStyle { kStyleWyrle = 0, kStyleFollow = 1, kStyleRibbon = 2 };

// One frame's copy of the brush parameters, every field within its range.
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

// Brings every field into its range: integers are clamped, a non-finite
// float becomes the reset-brush value, a finite one is clamped.
BrushParams clampBrushParams(const BrushParams& raw);

// Reads the brush globals once and clamps them.
BrushParams snapshotBrushParams();

struct ParticleChain {
    int particleCount = kParticleCount;  // slots simulated
    float springStiffness = 0.02f;

    float nowX[kParticleCount] = {};    // newest trail point (this frame's step)
    float nowY[kParticleCount] = {};
    float lastX[kParticleCount] = {};   // one frame older: where the step starts
    float lastY[kParticleCount] = {};
    float last2X[kParticleCount] = {};  // two frames older
    float last2Y[kParticleCount] = {};
    float last3X[kParticleCount] = {};  // three frames older
    float last3Y[kParticleCount] = {};
    float velX[kParticleCount] = {};
    float velY[kParticleCount] = {};
    float mass[kParticleCount] = {};
};

// Resets the chain at the pointer: every trail point (now, last, last2,
// last3) on the pointer, velocity 0, masses from the parameters with one
// ofRandomuf() per slot. Moving the older trail points too means a reset
// during a stroke paints no stray segment from where the chain was.
void setupStrings(ParticleChain& chain, const BrushParams& params, float pointerX, float pointerY);

// One physics step: springs along the drawn chain, pull, damping, move, style.
void particleStep(ParticleChain& chain, const BrushParams& params, float pointerX, float pointerY);

// last3 = last2, last2 = last, last = now, on every slot.
void shiftTrail(ParticleChain& chain);

// Catmull-Rom through four values: p1 at t = 0, p2 at t = 1.
inline float curvePoint(float p0, float p1, float p2, float p3, float t) {
    return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * (t * t) +
                   (3.0f * p1 - p0 - 3.0f * p2 + p3) * (t * t * t));
}
