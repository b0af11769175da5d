#pragma once
// The bodies of the fuzz targets. Each fuzz_*.cpp hands libFuzzer's input to
// one of these; test_fuzz_regressions.cpp feeds the kept crash inputs through
// the same functions in the normal suite. A broken promise of a parser ends
// the process with a message, which libFuzzer reports as a finding. These
// need only the plain library; the targets over pictures are in
// picture_targets.h.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gui/model/BrushPreset.h"
#include "gui/model/GradientComment.h"
#include "services/ConfigFile.h"
#include "services/MetadataParsers.h"

namespace fuzz {

[[noreturn]] inline void fail(const char* target, const char* what) {
    std::fprintf(stderr, "fuzz %s: broken promise: %s\n", target, what);
    std::abort();
}

#define FUZZ_CHECK(cond)                            \
    do {                                            \
        if (!(cond)) ::fuzz::fail(__func__, #cond); \
    } while (0)

inline std::string untilZero(const std::string& s) { return s.substr(0, s.find('\0')); }

inline bool isCommentText(const std::string& s) {
    return s.size() <= metadata::kMaxComment && s.find('\0') == std::string::npos;
}

// Test, read and write of the PNG comment. The text written is the input's
// tail, as long as its last byte says, so binary and zero bytes get written.
inline int pngComment(const uint8_t* data, size_t size) {
    const metadata::MemorySource png(data, size);
    const metadata::PngComment got = metadata::readPngComment(png);
    FUZZ_CHECK(!got.found || got.wellFormed);
    FUZZ_CHECK(got.found || got.text.empty());
    FUZZ_CHECK(isCommentText(got.text));

    const size_t n = size ? std::min<size_t>(size, data[size - 1]) : 0;
    const std::string text(reinterpret_cast<const char*>(data) + size - n, n);
    metadata::StringSink out;
    const bool wrote = metadata::writePngComment(png, out, text.data(), text.size());
    FUZZ_CHECK(wrote == got.wellFormed);
    if (!wrote) {
        FUZZ_CHECK(out.data.empty());
        return 0;
    }

    // The rewritten file reads back with exactly the new comment, and
    // writing the same text again changes nothing.
    const metadata::MemorySource again(out.data.data(), out.data.size());
    const metadata::PngComment back = metadata::readPngComment(again);
    FUZZ_CHECK(back.wellFormed && back.found);
    FUZZ_CHECK(back.text == untilZero(text));
    metadata::StringSink twice;
    FUZZ_CHECK(metadata::writePngComment(again, twice, text.data(), text.size()));
    FUZZ_CHECK(twice.data == out.data);

    // Too long a text is refused whole.
    const std::string tooLong(metadata::kMaxComment + 1, 'x');
    metadata::StringSink refused;
    FUZZ_CHECK(!metadata::writePngComment(png, refused, tooLong.data(), tooLong.size()));
    FUZZ_CHECK(refused.data.empty());
    return 0;
}

// The JPEG COM read, checked against the rule it implements: a segment
// marker at byte 20, a length that counts itself and stays inside the file.
inline int jpegComment(const uint8_t* data, size_t size) {
    const metadata::MemorySource jpg(data, size);
    std::string text = "unchanged";
    const bool got = metadata::readJpgComment(jpg, text);

    bool expect = size >= 24 && data[20] == 0xFF && data[21] == 0xFE;
    size_t length = 0;
    if (expect) {
        const size_t segment = (size_t(data[22]) << 8) | data[23];
        expect = segment >= 2 && 24 + segment - 2 <= size;
        length = expect ? std::min<size_t>(segment - 2, metadata::kMaxComment) : 0;
    }
    FUZZ_CHECK(got == expect);
    if (!got) {
        FUZZ_CHECK(text == "unchanged");
        return 0;
    }
    FUZZ_CHECK(isCommentText(text));
    FUZZ_CHECK(text == untilZero(std::string(reinterpret_cast<const char*>(data) + 24, length)));
    return 0;
}

// The config reader over a stream. The first byte picks the markers: the
// preferences file's own, and a few others that stress the line handling.
inline int config(const uint8_t* data, size_t size) {
    struct Markers {
        const char* delimiter;
        const char* comment;
        const char* sentry;
    };
    static const Markers kMarkers[] = {
        {"=", "#", "EndConfigFile"}, {"=", "#", ""}, {":", "//", "END"}, {"==", "", ""}, {"", "#", "x"},
    };
    const Markers& m = kMarkers[size ? data[0] % (sizeof kMarkers / sizeof kMarkers[0]) : 0];
    const std::string body = size ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1) : std::string();

    ConfigFile cf;
    cf.delimiter = m.delimiter;
    cf.comment = m.comment;
    cf.sentry = m.sentry;
    std::istringstream in(body);
    in >> cf;

    for (const auto& entry : cf.contents) {
        std::string key = entry.first;
        std::string value = entry.second;
        ConfigFile::trim(key);
        ConfigFile::trim(value);
        FUZZ_CHECK(key == entry.first);
        FUZZ_CHECK(value == entry.second);
        FUZZ_CHECK(key.find('\n') == std::string::npos);
        if (!cf.comment.empty()) {
            FUZZ_CHECK(key.find(cf.comment) == std::string::npos);
            FUZZ_CHECK(value.find(cf.comment) == std::string::npos);
        }
        if (!cf.sentry.empty()) {
            FUZZ_CHECK(key.find(cf.sentry) == std::string::npos);
            FUZZ_CHECK(value.find(cf.sentry) == std::string::npos);
        }
        FUZZ_CHECK(!cf.delimiter.empty());
    }

    // What the preferences reader asks of it: a failed conversion leaves the
    // target alone.
    int undo = 30;
    if (!cf.readInto(undo, "UndoPercent")) FUZZ_CHECK(undo == 30);
    double d = 0.5;
    if (!cf.readInto(d, "UndoPercent")) FUZZ_CHECK(d == 0.5);
    std::string s;
    FUZZ_CHECK(cf.readInto(s, "UndoPercent") == cf.keyExists("UndoPercent"));

    // Written out and read again, every key survives (a value running over
    // several lines may bring extra keys along).
    if (!cf.delimiter.empty()) {
        std::ostringstream out;
        out << cf;
        ConfigFile reread;
        reread.delimiter = cf.delimiter;
        reread.comment = cf.comment;
        std::istringstream back(out.str());
        back >> reread;
        for (const auto& entry : cf.contents) FUZZ_CHECK(reread.keyExists(entry.first));
    }
    return 0;
}

// The gradient file comment. What it reads is nine stops with colours of
// 0 to 255; written again and read back they come out the same. Anything
// else it ignores whole.
inline int gradientComment(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> pieces = gradientfile::explode(text, "|");
    FUZZ_CHECK(pieces.size() == 1 + static_cast<size_t>(std::count(text.begin(), text.end(), '|')));
    const std::optional<gradient::Stops> stops = gradientfile::ParseGradientComment(text);
    if (!stops) {
        FUZZ_CHECK(pieces.size() < 41 || pieces[1] != "150");
        return 0;
    }
    for (const gradient::Rgb& c : stops->colour)
        for (int v : {c.r, c.g, c.b}) FUZZ_CHECK(v >= 0 && v <= 255);
    const float value = size ? static_cast<float>(data[0] % 12) : 3.0f;
    const std::string again = gradientfile::BuildGradientComment(*stops, size % 2 == 0, value);
    FUZZ_CHECK(again.size() >= 86 && again.size() <= 141);
    const std::optional<gradient::Stops> back = gradientfile::ParseGradientComment(again);
    FUZZ_CHECK(back.has_value());
    for (int i = 0; i < gradient::kStops; ++i) {
        FUZZ_CHECK(back->on[i] == stops->on[i]);
        FUZZ_CHECK(back->colour[i] == stops->colour[i]);
    }
    return 0;
}

// The brush preset comment. Whatever the text, every value of the plan is
// inside the range the engine and the tool window's sliders accept; a brush
// made of those values always fits the comment and reads back the same.
inline void brushPlanInBounds(const brushpreset::BrushPlan& plan) {
    using brushpreset::Kind;
    FUZZ_CHECK(plan.kind != Kind::None || (plan.tags.empty() && !plan.colourPart && plan.messages.empty()));
    FUZZ_CHECK(plan.r >= 0 && plan.r <= 255 && plan.g >= 0 && plan.g <= 255 && plan.b >= 0 && plan.b <= 255);
    FUZZ_CHECK(plan.timingMode == 0 || plan.timingMode == 1);
    FUZZ_CHECK(plan.timingValue >= 1 && plan.timingValue <= 10);
    FUZZ_CHECK(plan.perpixelzTime == (plan.timingMode ? plan.timingValue : 0.0f));
    for (const brushpreset::Stop& s : plan.stops)
        FUZZ_CHECK(s.r >= 0 && s.r <= 255 && s.g >= 0 && s.g <= 255 && s.b >= 0 && s.b <= 255);
    FUZZ_CHECK(plan.opacity >= 1 && plan.opacity <= 100);
    struct Range {
        float lo, hi;  // the global
        int sliderLo, sliderHi;
    };
    static const Range kRanges[14] = {{0, 2, 0, 0},        {2, 300, 2, 300},   {0, 2.5f, 0, 10},    {1, 20, 1, 20},
                                      {0.002f, 1, 1, 100}, {0.1f, 0.97f, 1, 100}, {0, 250, 0, 100}, {0.001f, 4, 0, 100},
                                      {0, 300, 0, 100},    {0, 100, 0, 100},   {1, 4, 1, 4},        {0, 10, 0, 10},
                                      {0, 1, 0, 0},        {0, 1, 0, 0}};
    for (const brushpreset::TagStep& t : plan.tags) {
        FUZZ_CHECK(t.tag >= 'A' && t.tag <= 'N');
        const Range& r = kRanges[t.tag - 'A'];
        FUZZ_CHECK(std::isfinite(t.value) && t.value >= r.lo && t.value <= r.hi);
        FUZZ_CHECK(t.slider >= r.sliderLo && t.slider <= r.sliderHi);
        if (t.tag == 'A' || t.tag == 'B' || t.tag == 'D' || t.tag == 'K' || t.tag == 'L' || t.tag == 'M' ||
            t.tag == 'N')
            FUZZ_CHECK(t.value == std::floor(t.value));
    }
}

// The settings a plan leaves, starting from the defaults.
inline brushpreset::BrushSettings settingsOf(const brushpreset::BrushPlan& plan) {
    brushpreset::BrushSettings s;
    if (plan.colourPart) {
        s.perpixelz = plan.kind == brushpreset::Kind::Gradient;
        s.basicR = plan.r, s.basicG = plan.g, s.basicB = plan.b;
        s.perpixelzMode = plan.timingMode;
        s.perpixelzTimeVal = plan.timingValue;
        s.perpixelzTime = plan.perpixelzTime;
        std::copy(plan.stops, plan.stops + brushpreset::kStops, s.stops);
        s.opacityz = plan.opacity;
        s.additive = plan.additive;
    }
    for (const brushpreset::TagStep& t : plan.tags) {
        const float v = t.value;
        switch (t.tag) {
        case 'A': s.modes = static_cast<int>(v); break;
        case 'B': s.partNum = static_cast<int>(v); break;
        case 'C': s.normLen = v; break;
        case 'D': s.partStep = static_cast<int>(v); break;
        case 'E': s.velInf = v; break;
        case 'F': s.slow1 = v; break;
        case 'G': s.mass1 = v; break;
        case 'H': s.mass2 = v; break;
        case 'I': s.distZ = v; break;
        case 'J': s.randd = v; break;
        case 'K': s.paintDetail = static_cast<int>(v); break;
        case 'L': s.fadez = v; break;
        case 'M': s.fillz = v != 0; break;
        default: s.spline = v != 0; break;
        }
    }
    return s;
}

inline int brushComment(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (bool useColour : {true, false}) {
        const brushpreset::BrushPlan plan = brushpreset::ParseBrushComment(text, useColour);
        brushPlanInBounds(plan);
        if (plan.kind == brushpreset::Kind::None)
            continue;
        const auto written = brushpreset::BuildBrushComment(settingsOf(plan));
        FUZZ_CHECK(written.has_value());
        const brushpreset::BrushPlan again = brushpreset::ParseBrushComment(*written, useColour);
        FUZZ_CHECK(again.messages.empty() && again.tags.size() == 14);
        // Each tag's last value in the text is the one in force, and comes back.
        for (const brushpreset::TagStep& t : plan.tags) {
            const brushpreset::TagStep* last = &t;
            for (const brushpreset::TagStep& u : plan.tags)
                if (u.tag == t.tag)
                    last = &u;
            const brushpreset::TagStep& back = again.tags[static_cast<size_t>(t.tag - 'A')];
            FUZZ_CHECK(back.tag == t.tag && back.value == last->value && back.slider == last->slider);
        }
        FUZZ_CHECK(again.colourPart == plan.colourPart && again.r == plan.r && again.g == plan.g && again.b == plan.b);
        FUZZ_CHECK(again.opacity == plan.opacity && again.additive == plan.additive);
        FUZZ_CHECK(again.timingMode == plan.timingMode && again.timingValue == plan.timingValue);
    }
    return 0;
}

}  // namespace fuzz
