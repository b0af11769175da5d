// The particle chain's reset, physics step and trail shift.

#include "core/pixels/particles.h"

#include <cmath>

#include "framework/ofMath.h"

void setupStrings(ParticleChain& c, const BrushParams& params, float pointerX, float pointerY) {
    const BrushParams p = clampBrushParams(params);
    for (int i = 0; i < kParticleCount; ++i) {
        c.nowX[i] = c.lastX[i] = c.last2X[i] = c.last3X[i] = pointerX;
        c.nowY[i] = c.lastY[i] = c.last2Y[i] = c.last3Y[i] = pointerY;
        c.velX[i] = 0.0f;
        c.velY[i] = 0.0f;
        const float b = static_cast<float>(p.partNum - i) * p.mass2 + p.mass1;
        const float r = ofRandomuf();
        c.mass[i] = (r * p.randd + b) * 100.0f / static_cast<float>(p.partNum);
    }
}

void particleStep(ParticleChain& c, const BrushParams& params, float pointerX, float pointerY) {
    const BrushParams p = clampBrushParams(params);
    const int n = p.partNum;
    const int last = n - 1;

    // Springs: each drawn particle is tied to up to five neighbours on each
    // side; past an end of the chain the end particle stands in.
    for (int i = 0; i < n; ++i) {
        float fx = 0.0f;
        float fy = 0.0f;
        for (int k = -5; k <= 5; ++k) {
            if (k == 0) continue;
            const int j = i + k;
            int nb;
            int links;
            if (j < 0) {
                nb = 0;
                links = i;
            } else if (j > last) {
                nb = last;
                links = last - i;
            } else {
                nb = j;
                links = k < 0 ? -k : k;
            }
            const float dx = c.lastX[nb] - c.lastX[i];
            const float dy = c.lastY[nb] - c.lastY[i];
            float dist = std::sqrt(dx * dx + dy * dy);
            const float rest = p.normLen * std::fabs(static_cast<float>(links) * p.normLen);
            const float stretch = dist - rest;
            if (dist == 0.0f) dist = 0.000001f;
            fx += dx * stretch / dist;
            fy += dy * stretch / dist;
        }
        c.velX[i] += c.springStiffness * fx;
        c.velY[i] += c.springStiffness * fy;
    }

    for (int i = 0; i < kParticleCount; ++i) {
        const float mx = pointerX - c.nowX[i];
        const float my = pointerY - c.nowY[i];
        float len = std::sqrt(mx * mx + my * my) + p.distZ;
        if (len == 0.0f) len = 0.000001f;
        c.velX[i] += p.velInf * c.mass[i] * mx / len;
        c.velY[i] += p.velInf * c.mass[i] * my / len;
    }

    for (int i = 0; i < kParticleCount; ++i) {
        c.velX[i] *= p.slow1;
        c.velY[i] *= p.slow1;
        c.nowX[i] = c.lastX[i] + 2.0f * c.velX[i];
        c.nowY[i] = c.lastY[i] + 2.0f * c.velY[i];
    }

    if (p.modes == kStyleFollow) {
        const float ox = pointerX - c.nowX[last];
        const float oy = pointerY - c.nowY[last];
        for (int i = 0; i < n; ++i) {
            c.nowX[i] += ox;
            c.nowY[i] += oy;
        }
    } else if (p.modes == kStyleRibbon) {
        for (int i = kParticleCount - 2; i >= 0; --i) {
            c.velX[i] += 0.025f * c.velX[i + 1];
            c.velY[i] += 0.025f * c.velY[i + 1];
        }
        c.nowX[0] = pointerX;
        c.nowY[0] = pointerY;
    }
}

void shiftTrail(ParticleChain& c) {
    for (int i = 0; i < kParticleCount; ++i) {
        c.last3X[i] = c.last2X[i];
        c.last3Y[i] = c.last2Y[i];
        c.last2X[i] = c.lastX[i];
        c.last2Y[i] = c.lastY[i];
        c.lastX[i] = c.nowX[i];
        c.lastY[i] = c.nowY[i];
    }
}
