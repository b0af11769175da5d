#include "framework/ofMath.h"

#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "framework/ofLog.h"
#include "platform/win32.h"

// ---------------------------------------------------------------------------
// Random numbers

namespace {

// The classic 15-bit linear congruential generator (the one Windows' C library
// uses), so a given seed gives the same sequence on every platform.
std::atomic<uint32_t> randomState{1};

}  // namespace

void ofSeedRandom() { ofSeedRandom(static_cast<int>(GetTickCount())); }

void ofSeedRandom(int seed) { randomState.store(static_cast<uint32_t>(seed), std::memory_order_relaxed); }

int ofRandomRaw() {
    uint32_t state = randomState.load(std::memory_order_relaxed);
    uint32_t next;
    do {
        next = state * 214013u + 2531011u;
    } while (!randomState.compare_exchange_weak(state, next, std::memory_order_relaxed));
    return static_cast<int>((next >> 16) & OF_RAND_MAX);
}

float ofRandomuf() { return static_cast<float>(ofRandomRaw()) / 32768.0f; }

float ofRandomf() { return static_cast<float>(ofRandomRaw()) / 32768.0f * 2.0f - 1.0f; }

float ofRandom(float x, float y) {
    if (x == y) return x;
    const float low = std::fmin(x, y);
    const float high = std::fmax(x, y);
    const float range = high - low;
    const float scaled = range * static_cast<float>(ofRandomRaw());
    return low + scaled / 32768.0f;
}

// ---------------------------------------------------------------------------
// Mapping and tests

float ofMap(float value, float inputMin, float inputMax, float outputMin, float outputMax, bool clamp) {
    if (std::fabs(inputMin - inputMax) < FLT_EPSILON) {
        ofLog(OF_LOG_WARNING, "ofMap: avoiding possible divide by zero, check inputMin and inputMax\n");
        return outputMin;
    }
    const long double v = value, inMin = inputMin, inMax = inputMax, outMin = outputMin, outMax = outputMax;
    float out = static_cast<float>((v - inMin) / (inMax - inMin) * (outMax - outMin) + outMin);
    if (clamp) {
        if (outputMax < outputMin) {
            if (out < outputMax)
                out = outputMax;
            else if (out > outputMin)
                out = outputMin;
        } else {
            if (out > outputMax)
                out = outputMax;
            else if (out < outputMin)
                out = outputMin;
        }
    }
    return out;
}

float ofClamp(float value, float min, float max) {
    if (value < min) return min;
    if (value > max) return max;
    return value;
}

float ofNormalize(float value, float min, float max) { return ofClamp((value - min) / (max - min), 0, 1); }

bool ofInRange(float t, float min, float max) { return t >= min && t <= max; }

int ofSign(float n) {
    if (n > 0) return 1;
    if (n < 0) return -1;
    return 0;
}

float ofDist(float x1, float y1, float x2, float y2) { return std::sqrt(ofDistSquared(x1, y1, x2, y2)); }

float ofDistSquared(float x1, float y1, float x2, float y2) {
    return (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
}

float ofLerp(float start, float stop, float amt) { return start + (stop - start) * amt; }

float ofRadToDeg(float radians) { return static_cast<float>(radians * 57.29577951308232); }

float ofDegToRad(float degrees) { return static_cast<float>(degrees * 0.017453292519943295); }

int ofNextPow2(int a) {
    // Doubling past 2^30 would overflow an int; no larger power fits anyway.
    constexpr unsigned int largest = 1u << 30;
    if (a > static_cast<int>(largest)) return static_cast<int>(largest);
    unsigned int rval = 1;
    while (static_cast<int>(rval) < a) rval <<= 1;
    return static_cast<int>(rval);
}

// ---------------------------------------------------------------------------
// Simplex noise

namespace ofNoiseTables {

// Ken Perlin's reference permutation, stored twice so an index up to 511
// needs no wrap.
#define OF_NOISE_PERMUTATION                                                                        \
    151, 160, 137, 91, 90, 15, 131, 13, 201, 95, 96, 53, 194, 233, 7, 225, 140, 36, 103, 30, 69,    \
        142, 8, 99, 37, 240, 21, 10, 23, 190, 6, 148, 247, 120, 234, 75, 0, 26, 197, 62, 94, 252,   \
        219, 203, 117, 35, 11, 32, 57, 177, 33, 88, 237, 149, 56, 87, 174, 20, 125, 136, 171, 168,  \
        68, 175, 74, 165, 71, 134, 139, 48, 27, 166, 77, 146, 158, 231, 83, 111, 229, 122, 60, 211, \
        133, 230, 220, 105, 92, 41, 55, 46, 245, 40, 244, 102, 143, 54, 65, 25, 63, 161, 1, 216,    \
        80, 73, 209, 76, 132, 187, 208, 89, 18, 169, 200, 196, 135, 130, 116, 188, 159, 86, 164,    \
        100, 109, 198, 173, 186, 3, 64, 52, 217, 226, 250, 124, 123, 5, 202, 38, 147, 118, 126,     \
        255, 82, 85, 212, 207, 206, 59, 227, 47, 16, 58, 17, 182, 189, 28, 42, 223, 183, 170, 213,  \
        119, 248, 152, 2, 44, 154, 163, 70, 221, 153, 101, 155, 167, 43, 172, 9, 129, 22, 39, 253,  \
        19, 98, 108, 110, 79, 113, 224, 232, 178, 185, 112, 104, 218, 246, 97, 228, 251, 34, 242,   \
        193, 238, 210, 144, 12, 191, 179, 162, 241, 81, 51, 145, 235, 249, 14, 239, 107, 49, 192,   \
        214, 31, 181, 199, 106, 157, 184, 84, 204, 176, 115, 121, 50, 45, 127, 4, 150, 254, 138,    \
        236, 205, 93, 222, 114, 67, 29, 24, 72, 243, 141, 128, 195, 78, 66, 215, 61, 156, 180

const unsigned char perm[512] = {OF_NOISE_PERMUTATION, OF_NOISE_PERMUTATION};

#undef OF_NOISE_PERMUTATION

// For each ordering of the four coordinates (indexed by six pairwise
// comparisons), the rank of each coordinate; unreachable orderings are zero.
const unsigned char simplex[64][4] = {
    {0, 1, 2, 3}, {0, 1, 3, 2}, {0, 0, 0, 0}, {0, 2, 3, 1}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {1, 2, 3, 0},
    {0, 2, 1, 3}, {0, 0, 0, 0}, {0, 3, 1, 2}, {0, 3, 2, 1}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {1, 3, 2, 0},
    {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0},
    {1, 2, 0, 3}, {0, 0, 0, 0}, {1, 3, 0, 2}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {2, 3, 0, 1}, {2, 3, 1, 0},
    {1, 0, 2, 3}, {1, 0, 3, 2}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {2, 0, 3, 1}, {0, 0, 0, 0}, {2, 1, 3, 0},
    {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0},
    {2, 0, 1, 3}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {3, 0, 1, 2}, {3, 0, 2, 1}, {0, 0, 0, 0}, {3, 1, 2, 0},
    {2, 1, 0, 3}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {3, 1, 0, 2}, {0, 0, 0, 0}, {3, 2, 0, 1}, {3, 2, 1, 0},
};

}  // namespace ofNoiseTables

namespace {

using ofNoiseTables::perm;
using ofNoiseTables::simplex;

// Integer part, less one unless positive (so 0 and negative integers go one
// lower; the offsets that follow make up for it).
inline int fastFloor(float x) { return x > 0 ? static_cast<int>(x) : static_cast<int>(x) - 1; }

inline float grad1(int hash, float x) {
    const int h = hash & 15;
    float grad = 1.0f + static_cast<float>(h & 7);
    if (h & 8) grad = -grad;
    return grad * x;
}

inline float grad2(int hash, float x, float y) {
    const int h = hash & 7;
    const float u = h < 4 ? x : y;
    const float v = h < 4 ? y : x;
    return ((h & 1) ? -u : u) + ((h & 2) ? -2.0f * v : 2.0f * v);
}

inline float grad3(int hash, float x, float y, float z) {
    const int h = hash & 15;
    const float u = h < 8 ? x : y;
    const float v = h < 4 ? y : (h == 12 || h == 14) ? x : z;
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}

inline float grad4(int hash, float x, float y, float z, float t) {
    const int h = hash & 31;
    const float u = h < 24 ? x : y;
    const float v = h < 16 ? y : z;
    const float w = h < 8 ? z : t;
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v) + ((h & 4) ? -w : w);
}

// t^4 for a corner inside the contribution radius, 0 outside.
inline float falloff(float t) {
    if (t < 0) return 0;
    t *= t;
    return t * t;
}

}  // namespace

float ofSignedNoise(float x) {
    const int i0 = fastFloor(x);
    const int i1 = i0 + 1;
    const float x0 = x - static_cast<float>(i0);
    const float x1 = x0 - 1.0f;
    const float n0 = falloff(1.0f - x0 * x0) * grad1(perm[i0 & 0xff], x0);
    const float n1 = falloff(1.0f - x1 * x1) * grad1(perm[i1 & 0xff], x1);
    return 0.25f * (n0 + n1);
}

float _slang_library_noise2(float x, float y) {
    constexpr float F2 = 0.3660254f;   // (sqrt(3) - 1) / 2
    constexpr float G2 = 0.21132487f;  // (3 - sqrt(3)) / 6

    const float s = (x + y) * F2;
    const int i = fastFloor(x + s);
    const int j = fastFloor(y + s);
    const float t = static_cast<float>(i + j) * G2;
    const float x0 = x - (static_cast<float>(i) - t);
    const float y0 = y - (static_cast<float>(j) - t);

    const int i1 = x0 > y0 ? 1 : 0;
    const int j1 = x0 > y0 ? 0 : 1;

    const float x1 = x0 - static_cast<float>(i1) + G2;
    const float y1 = y0 - static_cast<float>(j1) + G2;
    const float x2 = x0 - 1.0f + 2.0f * G2;
    const float y2 = y0 - 1.0f + 2.0f * G2;

    const int ii = i & 0xff;
    const int jj = j & 0xff;

    const float n0 = falloff(0.5f - x0 * x0 - y0 * y0) * grad2(perm[ii + perm[jj]], x0, y0);
    const float n1 = falloff(0.5f - x1 * x1 - y1 * y1) * grad2(perm[ii + i1 + perm[jj + j1]], x1, y1);
    const float n2 = falloff(0.5f - x2 * x2 - y2 * y2) * grad2(perm[ii + 1 + perm[jj + 1]], x2, y2);
    return 40.0f * (n0 + n1 + n2);
}

float _slang_library_noise3(float x, float y, float z) {
    constexpr float F3 = 1.0f / 3.0f;
    constexpr float G3 = 1.0f / 6.0f;

    const float s = (x + y + z) * F3;
    const int i = fastFloor(x + s);
    const int j = fastFloor(y + s);
    const int k = fastFloor(z + s);
    const float t = static_cast<float>(i + j + k) * G3;
    const float x0 = x - (static_cast<float>(i) - t);
    const float y0 = y - (static_cast<float>(j) - t);
    const float z0 = z - (static_cast<float>(k) - t);

    // Offsets of the second and third corners, from the coordinate order.
    int i1, j1, k1, i2, j2, k2;
    if (x0 >= y0) {
        if (y0 >= z0) {
            i1 = 1, j1 = 0, k1 = 0, i2 = 1, j2 = 1, k2 = 0;
        } else if (x0 >= z0) {
            i1 = 1, j1 = 0, k1 = 0, i2 = 1, j2 = 0, k2 = 1;
        } else {
            i1 = 0, j1 = 0, k1 = 1, i2 = 1, j2 = 0, k2 = 1;
        }
    } else {
        if (y0 < z0) {
            i1 = 0, j1 = 0, k1 = 1, i2 = 0, j2 = 1, k2 = 1;
        } else if (x0 < z0) {
            i1 = 0, j1 = 1, k1 = 0, i2 = 0, j2 = 1, k2 = 1;
        } else {
            i1 = 0, j1 = 1, k1 = 0, i2 = 1, j2 = 1, k2 = 0;
        }
    }

    const float x1 = x0 - static_cast<float>(i1) + G3;
    const float y1 = y0 - static_cast<float>(j1) + G3;
    const float z1 = z0 - static_cast<float>(k1) + G3;
    const float x2 = x0 - static_cast<float>(i2) + 2.0f * G3;
    const float y2 = y0 - static_cast<float>(j2) + 2.0f * G3;
    const float z2 = z0 - static_cast<float>(k2) + 2.0f * G3;
    const float x3 = x0 - 1.0f + 3.0f * G3;
    const float y3 = y0 - 1.0f + 3.0f * G3;
    const float z3 = z0 - 1.0f + 3.0f * G3;

    const int ii = i & 0xff;
    const int jj = j & 0xff;
    const int kk = k & 0xff;

    const float n0 = falloff(0.6f - x0 * x0 - y0 * y0 - z0 * z0) *
                     grad3(perm[ii + perm[jj + perm[kk]]], x0, y0, z0);
    const float n1 = falloff(0.6f - x1 * x1 - y1 * y1 - z1 * z1) *
                     grad3(perm[ii + i1 + perm[jj + j1 + perm[kk + k1]]], x1, y1, z1);
    const float n2 = falloff(0.6f - x2 * x2 - y2 * y2 - z2 * z2) *
                     grad3(perm[ii + i2 + perm[jj + j2 + perm[kk + k2]]], x2, y2, z2);
    const float n3 = falloff(0.6f - x3 * x3 - y3 * y3 - z3 * z3) *
                     grad3(perm[ii + 1 + perm[jj + 1 + perm[kk + 1]]], x3, y3, z3);
    return 32.0f * (n0 + n1 + n2 + n3);
}

float _slang_library_noise4(float x, float y, float z, float w) {
    constexpr float F4 = 0.309017f;   // (sqrt(5) - 1) / 4
    constexpr float G4 = 0.1381966f;  // (5 - sqrt(5)) / 20

    const float s = (x + y + z + w) * F4;
    const int i = fastFloor(x + s);
    const int j = fastFloor(y + s);
    const int k = fastFloor(z + s);
    const int l = fastFloor(w + s);
    const float t = static_cast<float>(i + j + k + l) * G4;
    const float x0 = x - (static_cast<float>(i) - t);
    const float y0 = y - (static_cast<float>(j) - t);
    const float z0 = z - (static_cast<float>(k) - t);
    const float w0 = w - (static_cast<float>(l) - t);

    const int c = (x0 > y0 ? 32 : 0) + (x0 > z0 ? 16 : 0) + (y0 > z0 ? 8 : 0) + (x0 > w0 ? 4 : 0) +
                  (y0 > w0 ? 2 : 0) + (z0 > w0 ? 1 : 0);
    const unsigned char* rank = simplex[c];

    // Corner n (1..3) steps along every coordinate whose rank is at least 4 - n.
    const int i1 = rank[0] >= 3, j1 = rank[1] >= 3, k1 = rank[2] >= 3, l1 = rank[3] >= 3;
    const int i2 = rank[0] >= 2, j2 = rank[1] >= 2, k2 = rank[2] >= 2, l2 = rank[3] >= 2;
    const int i3 = rank[0] >= 1, j3 = rank[1] >= 1, k3 = rank[2] >= 1, l3 = rank[3] >= 1;

    const float x1 = x0 - static_cast<float>(i1) + G4;
    const float y1 = y0 - static_cast<float>(j1) + G4;
    const float z1 = z0 - static_cast<float>(k1) + G4;
    const float w1 = w0 - static_cast<float>(l1) + G4;
    const float x2 = x0 - static_cast<float>(i2) + 2.0f * G4;
    const float y2 = y0 - static_cast<float>(j2) + 2.0f * G4;
    const float z2 = z0 - static_cast<float>(k2) + 2.0f * G4;
    const float w2 = w0 - static_cast<float>(l2) + 2.0f * G4;
    const float x3 = x0 - static_cast<float>(i3) + 3.0f * G4;
    const float y3 = y0 - static_cast<float>(j3) + 3.0f * G4;
    const float z3 = z0 - static_cast<float>(k3) + 3.0f * G4;
    const float w3 = w0 - static_cast<float>(l3) + 3.0f * G4;
    const float x4 = x0 - 1.0f + 4.0f * G4;
    const float y4 = y0 - 1.0f + 4.0f * G4;
    const float z4 = z0 - 1.0f + 4.0f * G4;
    const float w4 = w0 - 1.0f + 4.0f * G4;

    const int ii = i & 0xff;
    const int jj = j & 0xff;
    const int kk = k & 0xff;
    const int ll = l & 0xff;

    auto hash = [&](int di, int dj, int dk, int dl) {
        return perm[ii + di + perm[jj + dj + perm[kk + dk + perm[ll + dl]]]];
    };
    auto corner = [](float cx, float cy, float cz, float cw, int h) {
        return falloff(0.6f - cx * cx - cy * cy - cz * cz - cw * cw) * grad4(h, cx, cy, cz, cw);
    };

    const float n0 = corner(x0, y0, z0, w0, hash(0, 0, 0, 0));
    const float n1 = corner(x1, y1, z1, w1, hash(i1, j1, k1, l1));
    const float n2 = corner(x2, y2, z2, w2, hash(i2, j2, k2, l2));
    const float n3 = corner(x3, y3, z3, w3, hash(i3, j3, k3, l3));
    const float n4 = corner(x4, y4, z4, w4, hash(1, 1, 1, 1));
    return 27.0f * (n0 + n1 + n2 + n3 + n4);
}

float ofSignedNoise(float x, float y) { return _slang_library_noise2(x, y); }
float ofSignedNoise(float x, float y, float z) { return _slang_library_noise3(x, y, z); }
float ofSignedNoise(float x, float y, float z, float w) { return _slang_library_noise4(x, y, z, w); }

float ofNoise(float x) { return ofSignedNoise(x) * 0.5f + 0.5f; }
float ofNoise(float x, float y) { return ofSignedNoise(x, y) * 0.5f + 0.5f; }
float ofNoise(float x, float y, float z) { return ofSignedNoise(x, y, z) * 0.5f + 0.5f; }
float ofNoise(float x, float y, float z, float w) { return ofSignedNoise(x, y, z, w) * 0.5f + 0.5f; }
