#include "gui/model/BrushPreset.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <sstream>

#include "framework/ofMath.h"

namespace brushpreset {

namespace {

// A value the writer stores: truncated toward zero. Values far outside any
// range (and NaN) still give a number, which then makes the text too long.
long long truncated(float v) {
    if (std::isnan(v))
        return 0;
    if (v > 1e15f)
        return 1000000000000000LL;
    if (v < -1e15f)
        return -1000000000000000LL;
    return static_cast<long long>(v);
}

std::string mapped(float v, float inLo, float inHi, float outLo, float outHi) {
    return std::to_string(truncated(ofMap(v, inLo, inHi, outLo, outHi)));
}

const char* flag(bool on) { return on ? "T" : "F"; }

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The runtime's atoi, made safe: a run of digits beyond any int saturates;
// the colour is its low 8 bits (-1 gives 255, 300 gives 44).
int colourByte(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = v > LLONG_MAX / 10 - 10 ? LLONG_MAX / 10 : v * 10 + (text[i] - '0');
    if (negative)
        v = -v;
    return static_cast<int>(static_cast<unsigned long long>(v) & 0xFF);
}

// The slider a stored 0..100000 value lands on, and the value the tool
// window's own slider handler gives for that position.
struct SliderMap {
    char tag;
    int lo, hi;           // slider range
    float atLo, atHi;     // the global at the slider's ends
};

const SliderMap kSliders[] = {
    {'C', 0, 10, 0, 2.5f},      // Width  -> f_NormLen
    {'E', 1, 100, 1, 0.002f},   // Soft   -> f_velInf
    {'F', 1, 100, 0.1f, 0.97f}, // Speed  -> f_slow1
    {'G', 0, 100, 0, 250},      // Center -> f_mass1
    {'H', 0, 100, 0.001f, 4},   // Focus  -> f_mass2
    {'I', 0, 100, 300, 0},      // Chaos  -> f_DistZ
    {'J', 0, 100, 0, 100},      // Noise  -> f_randd
};

const SliderMap* sliderOf(char tag) {
    for (const SliderMap& m : kSliders)
        if (m.tag == tag)
            return &m;
    return nullptr;
}

// The label a stored number gets: its own text while it is the value in
// force, else the bounded value.
std::string labelFor(const std::string& raw, int read, int bounded) {
    return read == bounded ? raw : std::to_string(bounded);
}

TagStep tagStep(char tag, int n, const std::string& raw) {
    TagStep step;
    step.tag = tag;
    if (const SliderMap* m = sliderOf(tag)) {
        const float p = ofClamp(std::round(ofMap(static_cast<float>(n), 0, 100000, static_cast<float>(m->lo),
                                                  static_cast<float>(m->hi))),
                                static_cast<float>(m->lo), static_cast<float>(m->hi));
        step.slider = static_cast<int>(p);
        step.value = ofMap(p, static_cast<float>(m->lo), static_cast<float>(m->hi), m->atLo, m->atHi);
        step.label = std::to_string(step.slider);
        return step;
    }
    switch (tag) {
    case 'A':
        step.value = static_cast<float>(clampInt(n, 0, 2));
        break;
    case 'B': {
        // The engine has 300 particle slots and draws at least two.
        const int v = clampInt(n, 2, 300);
        step.value = static_cast<float>(v);
        step.slider = v;
        step.label = labelFor(raw, n, v);
        break;
    }
    case 'D': {
        const int v = clampInt(n, 1, 20);  // a step of 0 would never advance
        step.value = static_cast<float>(v);
        step.slider = v;
        step.label = labelFor(raw, n, v);
        break;
    }
    case 'K': {
        const int v = clampInt(n, 1, 4);
        step.value = static_cast<float>(v);
        step.slider = v;
        step.label = std::to_string(v);
        break;
    }
    case 'L': {
        const int v = clampInt(n, 0, 10);
        step.value = static_cast<float>(v);
        step.slider = v == 0 ? 0 : static_cast<int>(ofClamp(ofMap(static_cast<float>(v), 1, 10, 10, 1), 1, 10));
        step.label = std::to_string(step.slider);
        break;
    }
    default:  // 'M', 'N'
        step.value = n != 0 ? 1.0f : 0.0f;
        break;
    }
    return step;
}

}  // namespace

std::optional<std::string> BuildBrushComment(const BrushSettings& s) {
    auto num = [](long long v) { return std::to_string(v); };
    std::string text = "V|150|";
    if (s.perpixelz == 0) {
        text += "C|" + num(s.basicR) + "|" + num(s.basicG) + "|" + num(s.basicB);
    } else {
        text += "G|" + num(s.perpixelzMode) + "|" + num(truncated(s.perpixelzTimeVal)) + "|";
        for (const Stop& stop : s.stops)
            text += std::string(flag(stop.on)) + "|";
        for (const Stop& stop : s.stops)
            text += num(stop.r) + "|" + num(stop.g) + "|" + num(stop.b) + "|";
        text += flag(s.perpixelzTime != 0);
    }
    text += "|P|" + mapped(s.opacityz, 1, 100, 1, 100);
    text += std::string("|S|") + (s.additive ? "1" : "0") + "|BRU|";
    text += "A|" + num(s.modes) + "|";
    text += "B|" + mapped(static_cast<float>(s.partNum), 1, 300, 1, 300) + "|";
    text += "C|" + mapped(s.normLen, 0, 2.5f, 0, 100000) + "|";
    text += "D|" + mapped(static_cast<float>(s.partStep), 1, 20, 1, 20) + "|";
    text += "E|" + mapped(s.velInf, 1, 0.002f, 0, 100000) + "|";
    text += "F|" + mapped(s.slow1, 0.1f, 0.97f, 0, 100000) + "|";
    text += "G|" + mapped(s.mass1, 0, 250, 0, 100000) + "|";
    text += "H|" + mapped(s.mass2, 0.001f, 4, 0, 100000) + "|";
    text += "I|" + mapped(s.distZ, 300, 0, 0, 100000) + "|";
    text += "J|" + mapped(s.randd, 0, 100, 0, 100000) + "|";
    text += "K|" + mapped(static_cast<float>(s.paintDetail), 1, 4, 1, 4) + "|";
    text += "L|" + num(truncated(s.fadez)) + "|";
    text += std::string("M|") + (s.fillz ? "1" : "0") + "|";
    text += std::string("N|") + (s.spline ? "1" : "0") + "|END";
    // Cut, it could not be read back; refused, the user is told.
    if (text.size() > kMaxCommentBytes)
        return std::nullopt;
    return text;
}

std::vector<std::string> explode(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    if (separator.empty())
        return {text};
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(separator, from);
        if (at == std::string::npos) {
            pieces.push_back(text.substr(from));
            return pieces;
        }
        pieces.push_back(text.substr(from, at - from));
        from = at + separator.size();
    }
}

bool stringToInt(const std::string& text, int& value) {
    std::istringstream in(text);
    int v = 0;
    if (!(in >> v))
        return false;
    value = v;
    return true;
}

std::string notANumberMessage(const std::string& text) {
    return "string " + text + "could not be casted into integer.";
}

BrushPlan ParseBrushComment(const std::string& text, bool useBrushColor) {
    BrushPlan plan;
    const std::vector<std::string> p = explode(text, "|");
    // Fields the kind reads at fixed places; fewer is treated like another version.
    if (p.size() < 3 || p[1] != "150")
        return plan;
    size_t needed = 0, tagsFrom = 0, opacityAt = 0, switchAt = 0;
    if (p[2] == "C") {
        plan.kind = Kind::Colour;
        needed = 10, tagsFrom = 11, opacityAt = 7, switchAt = 9;
    } else if (p[2] == "G") {
        plan.kind = Kind::Gradient;
        needed = 46, tagsFrom = 46, opacityAt = 43, switchAt = 45;
    } else {
        return plan;
    }
    if (p.size() < needed) {
        plan.kind = Kind::None;
        return plan;
    }

    auto number = [&plan](const std::string& piece) {
        int v = 0;
        if (!stringToInt(piece, v)) {
            plan.messages.push_back(notANumberMessage(piece));
            v = 0;
        }
        return v;
    };

    if (useBrushColor) {
        plan.colourPart = true;
        if (plan.kind == Kind::Colour) {
            plan.r = number(p[3]) & 0xFF;
            plan.g = number(p[4]) & 0xFF;
            plan.b = number(p[5]) & 0xFF;
        } else {
            plan.timingMode = clampInt(number(p[3]), 0, 1);
            const int read = number(p[4]);
            const int value = clampInt(read, 1, 10);
            plan.timingValue = static_cast<float>(value);
            plan.timingLabel = labelFor(p[4], read, value);
            plan.perpixelzTime = plan.timingMode == 0 ? 0.0f : plan.timingValue;
            for (int i = 0; i < kStops; ++i) {
                Stop& stop = plan.stops[i];
                stop.on = p[5 + i] == "T";
                stop.r = colourByte(p[14 + 3 * i]);
                stop.g = colourByte(p[15 + 3 * i]);
                stop.b = colourByte(p[16 + 3 * i]);
            }
        }
        plan.opacity = ofClamp(static_cast<float>(number(p[opacityAt])), 1, 100);
        plan.additive = number(p[switchAt]) == 1;
    }

    // Every piece is compared, values included; a tag always has a value.
    for (size_t i = tagsFrom; i + 1 < p.size(); ++i) {
        const std::string& tag = p[i];
        if (tag.size() != 1 || tag[0] < 'A' || tag[0] > 'N')
            continue;
        plan.tags.push_back(tagStep(tag[0], number(p[i + 1]), p[i + 1]));
    }
    return plan;
}

}  // namespace brushpreset
