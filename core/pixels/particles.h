#pragma once
// The brush's particle chain: 300 simulated particles pulled towards the
// pointer, tied by springs and damped, in the styles "Wyrle", "Follow" and
// "Ribbon". No GL, no wx: plain data and functions, so the engine and the
// tests drive the same code.
//
// How the engine uses it (all on the render thread):
//   - once per frame, before anything reads a brush parameter:
//       BrushParams params = snapshotBrushParams();   // brushparams.h
//     (the only place that reads the shared brush globals; every value comes
//     back clamped to its range, so a bad preset can neither overrun the
//     arrays nor hang the frame);
//   - for f_setStrings, the brush reset and set-up:
//       setupStrings(chain, params, pointerX, pointerY);
//   - frame step, after panning:  particleStep(chain, params, pointerX, pointerY);
//   - render, after painting:     shiftTrail(chain);
// The engine keeps one ParticleChain member; its fields carry the names the
// rest of the engine uses (chain.nowX, chain.last2Y, chain.mass, ...).

#include "core/pixels/brushparams.h"

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
