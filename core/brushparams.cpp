#include "brushparams.h"

#include <algorithm>
#include <cmath>

#include "WyrleGlobals.h"

namespace {

int clampInt(int v, int lo, int hi) { return std::min(hi, std::max(lo, v)); }

float finiteOr(float v, float fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace

BrushParameters defaultBrushParameters() {
    BrushParameters p;
    p.partNum = 100;
    p.partStep = 1;
    p.paintDetail = 1;
    p.modes = 0;
    p.velInf = 0.15f;
    p.distZ = 90.0f;
    p.slow1 = 0.88f;
    p.normLen = 1.0f;
    p.mass1 = 50.0f;
    p.mass2 = 1.0f;
    p.randd = 0.0f;
    p.fadez = 10.0f;
    p.opacityz = 40.0f;
    p.fillz = true;
    p.spline = true;
    return p;
}

BrushParameters clampBrushParameters(const BrushParameters& raw, const BrushParameters& fallback) {
    BrushParameters p = raw;
    p.partNum = clampInt(raw.partNum, 2, kParticleSlots);
    p.partStep = clampInt(raw.partStep, 1, 20);
    p.paintDetail = clampInt(raw.paintDetail, 1, 4);
    p.modes = clampInt(raw.modes, 0, 2);
    p.velInf = finiteOr(raw.velInf, fallback.velInf);
    p.distZ = finiteOr(raw.distZ, fallback.distZ);
    p.slow1 = finiteOr(raw.slow1, fallback.slow1);
    p.normLen = finiteOr(raw.normLen, fallback.normLen);
    p.mass1 = finiteOr(raw.mass1, fallback.mass1);
    p.mass2 = finiteOr(raw.mass2, fallback.mass2);
    p.randd = finiteOr(raw.randd, fallback.randd);
    p.fadez = std::max(0.0f, finiteOr(raw.fadez, fallback.fadez));
    p.opacityz = std::min(100.0f, std::max(1.0f, finiteOr(raw.opacityz, fallback.opacityz)));
    return p;
}

BrushParameters readBrushParameters() {
    BrushParameters raw;
    raw.partNum = f_PartNum.load();
    raw.partStep = f_PartStep.load();
    raw.paintDetail = f_paintDetail.load();
    raw.modes = f_modes.load();
    raw.velInf = f_velInf.load();
    raw.distZ = f_DistZ.load();
    raw.slow1 = f_slow1.load();
    raw.normLen = f_NormLen.load();
    raw.mass1 = f_mass1.load();
    raw.mass2 = f_mass2.load();
    raw.randd = f_randd.load();
    raw.fadez = f_fadez.load();
    raw.opacityz = f_opacityz.load();
    raw.fillz = f_fillz.load();
    raw.spline = f_spline.load();
    return clampBrushParameters(raw, defaultBrushParameters());
}
