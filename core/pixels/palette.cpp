#include "core/pixels/palette.h"

#include <algorithm>
#include <cstring>

namespace palette {

void RGB_2_HSL(float R, float G, float B, float& H, float& S, float& L) {
    const float r = R / 255.0f;
    const float g = G / 255.0f;
    const float b = B / 255.0f;
    const float mn = std::min(r, std::min(g, b));
    const float mx = std::max(r, std::max(g, b));
    const float d = mx - mn;
    L = (mx + mn) * 0.5f;
    if (d == 0.0f) {
        H = 0.0f;
        S = 0.0f;
        return;
    }
    S = L < 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
    const float dR = ((mx - r) / 6.0f + d * 0.5f) / d;
    const float dG = ((mx - g) / 6.0f + d * 0.5f) / d;
    const float dB = ((mx - b) / 6.0f + d * 0.5f) / d;
    const float third = 1.0f / 3.0f;
    if (r == mx)
        H = dB - dG;
    else if (g == mx)
        H = third + dR - dB;
    else
        H = 2.0f * third + dG - dR;
    if (H < 0.0f) H += 1.0f;
    if (H > 1.0f) H -= 1.0f;
}

float Hue_2_RGB(float m1, float m2, float vH) {
    if (vH < 0.0f) vH += 1.0f;
    if (vH > 1.0f) vH -= 1.0f;
    if (6.0f * vH < 1.0f) return m1 + (m2 - m1) * 6.0f * vH;
    if (2.0f * vH < 1.0f) return m2;
    if (3.0f * vH < 2.0f) return m1 + (m2 - m1) * (2.0f / 3.0f - vH) * 6.0f;
    return m1;
}

void HSL_2_RGB(float H, float S, float L, float& R, float& G, float& B) {
    if (S == 0.0f) {
        R = G = B = L * 255.0f;
        return;
    }
    const float m2 = L < 0.5f ? L * (1.0f + S) : (L + S) - S * L;
    const float m1 = 2.0f * L - m2;
    const float third = 1.0f / 3.0f;
    R = 255.0f * Hue_2_RGB(m1, m2, H + third);
    G = 255.0f * Hue_2_RGB(m1, m2, H);
    B = 255.0f * Hue_2_RGB(m1, m2, H - third);
}

Rgb complementOfHsl(float H, float S, float L) {
    float h = H + 0.5f;
    if (h > 1.0f) h -= 1.0f;
    float r, g, b;
    HSL_2_RGB(h, S, 1.0f - L, r, g, b);
    return Rgb{static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)};
}

Rgb complementOf(Rgb c) {
    float h, s, l;
    RGB_2_HSL(static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b), h, s, l);
    return complementOfHsl(h, s, l);
}

bool buildGradient(const int* set, Gradient add, int size) {
    int s = 0;
    while (s < size && set[s] != 1) ++s;
    if (s == size) return false;
    int* channels[3] = {add.R, add.G, add.B};
    for (int* c : channels)
        for (int k = 0; k < s; ++k) c[k] = c[s];
    for (;;) {
        int j = s + 1;
        while (j < size && set[j] != 1) ++j;
        if (j == size) break;
        for (int* c : channels) {
            const int from = c[s];
            const int span = c[j] - from;
            for (int k = s; k <= j; ++k) c[k] = from + (span * (k - s)) / (j - s);
        }
        s = j;
    }
    for (int* c : channels)
        for (int k = s + 1; k < size; ++k) c[k] = c[s];
    return true;
}

void buildComplement(Gradient add, Gradient sub, int size) {
    for (int k = 0; k < size; ++k) {
        const Rgb c = complementOf(Rgb{add.R[k], add.G[k], add.B[k]});
        sub.R[k] = c.r;
        sub.G[k] = c.g;
        sub.B[k] = c.b;
    }
}

void selectActive(bool additive, Gradient add, Gradient sub, Gradient active, int size) {
    const Gradient& from = additive ? add : sub;
    const size_t bytes = sizeof(int) * static_cast<size_t>(size);
    std::memmove(active.R, from.R, bytes);
    std::memmove(active.G, from.G, bytes);
    std::memmove(active.B, from.B, bytes);
}

}  // namespace palette
