#pragma once
// Scalar helpers: random numbers, mapping and clamping, distances, powers of
// two, angle conversion, interpolation and simplex noise.

// Random numbers come from the framework's own 15-bit generator, so every
// platform sees the classic rand() range of 0..OF_RAND_MAX.
#define OF_RAND_MAX 32767

// Seeds from the millisecond tick count.
void ofSeedRandom();
void ofSeedRandom(int seed);
// The next raw value, 0..OF_RAND_MAX. Safe to call from any thread.
int ofRandomRaw();

float ofRandomuf();                // 0 .. 32767/32768
float ofRandomf();                 // -1 .. 1 - 1/16384
float ofRandom(float x, float y);  // between x and y, never reaching the larger

// Maps value from the input range onto the output range. An input range
// narrower than FLT_EPSILON logs a warning and gives outputMin. With clamp,
// the result stays within the output range, which may run either way.
float ofMap(float value, float inputMin, float inputMax, float outputMin, float outputMax,
            bool clamp = false);
float ofClamp(float value, float min, float max);
float ofNormalize(float value, float min, float max);
bool ofInRange(float t, float min, float max);
int ofSign(float n);
float ofDist(float x1, float y1, float x2, float y2);
float ofDistSquared(float x1, float y1, float x2, float y2);
float ofLerp(float start, float stop, float amt);
float ofRadToDeg(float radians);
float ofDegToRad(float degrees);
// Smallest power of two not below a (1 for a <= 1); 2^30 for anything above.
int ofNextPow2(int a);

// Simplex noise: ofSignedNoise about -1..1, ofNoise about 0..1.
float ofSignedNoise(float x);
float ofSignedNoise(float x, float y);
float ofSignedNoise(float x, float y, float z);
float ofSignedNoise(float x, float y, float z, float w);
float ofNoise(float x);
float ofNoise(float x, float y);
float ofNoise(float x, float y, float z);
float ofNoise(float x, float y, float z, float w);

float _slang_library_noise2(float x, float y);
float _slang_library_noise3(float x, float y, float z);
float _slang_library_noise4(float x, float y, float z, float w);

// Noise tables, exposed for inspection: the 256-entry permutation twice, and
// the corner order of the four-dimensional simplex.
namespace ofNoiseTables {
extern const unsigned char perm[512];
extern const unsigned char simplex[64][4];
}  // namespace ofNoiseTables
