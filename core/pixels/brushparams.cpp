#include "core/pixels/brushparams.h"

#include <algorithm>
#include <cmath>

#include "core/WyrleGlobals.h"

namespace {

int clampInt(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

float clampFinite(float v, float lo, float hi, float fallback) {
    if (!std::isfinite(v)) return fallback;
    return std::min(std::max(v, lo), hi);
}

}  // namespace

BrushParams clampBrushParams(const BrushParams& raw) {
    const BrushParams d;
    BrushParams p = raw;
    p.partNum = clampPartNum(raw.partNum);
    p.velInf = clampFinite(raw.velInf, 0.002f, 1.0f, d.velInf);
    p.distZ = clampFinite(raw.distZ, 0.0f, 300.0f, d.distZ);
    p.slow1 = clampFinite(raw.slow1, 0.1f, 0.97f, d.slow1);
    p.normLen = clampFinite(raw.normLen, 0.0f, 2.5f, d.normLen);
    p.mass1 = clampFinite(raw.mass1, 0.0f, 250.0f, d.mass1);
    p.mass2 = clampFinite(raw.mass2, 0.001f, 4.0f, d.mass2);
    p.randd = clampFinite(raw.randd, 0.0f, 100.0f, d.randd);
    p.modes = clampInt(raw.modes, kStyleWyrle, kStyleRibbon);
    p.partStep = clampInt(raw.partStep, 1, 20);
    p.paintDetail = clampInt(raw.paintDetail, 1, 4);
    // A negative fade would never end a stroke.
    p.fadez = clampFinite(raw.fadez, 0.0f, 10.0f, d.fadez);
    p.opacityz = clampFinite(raw.opacityz, 1.0f, 100.0f, d.opacityz);
    return p;
}

BrushParams snapshotBrushParams() {
    BrushParams raw;
    raw.partNum = f_PartNum.load(std::memory_order_relaxed);
    raw.velInf = f_velInf.load(std::memory_order_relaxed);
    raw.distZ = f_DistZ.load(std::memory_order_relaxed);
    raw.slow1 = f_slow1.load(std::memory_order_relaxed);
    raw.normLen = f_NormLen.load(std::memory_order_relaxed);
    raw.mass1 = f_mass1.load(std::memory_order_relaxed);
    raw.mass2 = f_mass2.load(std::memory_order_relaxed);
    raw.randd = f_randd.load(std::memory_order_relaxed);
    raw.modes = f_modes.load(std::memory_order_relaxed);
    raw.partStep = f_PartStep.load(std::memory_order_relaxed);
    raw.paintDetail = f_paintDetail.load(std::memory_order_relaxed);
    raw.fadez = f_fadez.load(std::memory_order_relaxed);
    raw.fillz = f_fillz.load(std::memory_order_relaxed);
    raw.spline = f_spline.load(std::memory_order_relaxed);
    raw.opacityz = f_opacityz.load(std::memory_order_relaxed);
    return clampBrushParams(raw);
}
