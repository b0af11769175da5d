#pragma once
// The drawing layer's process-wide state, shared between the primitives and
// the shapes, and readable by tests. Callers outside the drawing layer use
// the functions of ofGraphics.h.

#include <memory>
#include <vector>

#include "framework/ofGraphics.h"

extern float drawMode;  // OF_FILLED or OF_OUTLINE
extern bool bBakgroundAuto;
extern bool bUsingArbTex;
extern int curveResolution;
extern int polyMode;
extern int cornerMode;
extern bool bSmoothHinted;
extern float bgColor[4];
extern int numCirclePts;
extern bool bSetupCircle;
extern ofStyle currentStyle;

// Smoothing wrap for outlines: pushes the colour-buffer and enable state.
void startSmoothing();
void endSmoothing();

// Vertices of the open shape, three doubles each (x, y, 0).
using ofShapeVertex = std::unique_ptr<double[]>;
extern std::vector<ofShapeVertex> polyVertices;
extern std::vector<ofShapeVertex> curveVertices;
extern GLUtesselator* tobj;
