// Free-form shapes and curves, drawn through the GLU tessellator with the
// drawing state of ofGraphics.

#include <algorithm>

#include "framework/ofGraphics.h"
#include "framework/ofGraphicsState.h"
#include "framework/ofUtils.h"

std::vector<ofShapeVertex> polyVertices;
std::vector<ofShapeVertex> curveVertices;
GLUtesselator* tobj = nullptr;

namespace {

std::vector<ofShapeVertex> newVectrices;  // made by the tessellator's combine step
std::vector<float> tessVertices;          // the primitive being emitted
std::vector<float> contourPoints;         // scratch for direct-mode contours
int currentStartVertex = 0;
GLenum shapeType = GL_POLYGON;
// Whether ofBeginShape started the smoothing wrap, so ofEndShape ends it
// exactly once even if the fill mode or smoothing changed in between.
bool shapeSmoothed = false;

ofShapeVertex makeVertex(double x, double y) { return ofShapeVertex(new double[3]{x, y, 0}); }

void clearCurveVertices() { curveVertices.clear(); }

void clearTessVertices() {
    polyVertices.clear();
    newVectrices.clear();
    clearCurveVertices();
    currentStartVertex = 0;
}

// Curves divide by resolution - 1, so fewer than two points make no sense.
int curvePointCount() { return std::max(curveResolution, 2); }

void GLAPIENTRY tessBegin(GLenum type) {
    shapeType = type;
    tessVertices.clear();
}

void GLAPIENTRY tessVertex(void* data) {
    const double* v = static_cast<const double*>(data);
    tessVertices.push_back(static_cast<float>(v[0]));
    tessVertices.push_back(static_cast<float>(v[1]));
    tessVertices.push_back(static_cast<float>(v[2]));
}

void GLAPIENTRY tessCombine(GLdouble coords[3], void* /*vertexData*/[4], GLfloat /*weight*/[4], void** outData) {
    ofShapeVertex v(new double[3]{coords[0], coords[1], coords[2]});
    *outData = v.get();
    newVectrices.push_back(std::move(v));
}

void GLAPIENTRY tessEnd() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, tessVertices.data());
    glDrawArrays(shapeType, 0, static_cast<GLsizei>(tessVertices.size() / 3));
    tessVertices.clear();
}

void GLAPIENTRY tessError(GLenum code) {
    const GLubyte* text = gluErrorString(code);
    ofLog(OF_LOG_ERROR, "tessError: %s", text ? reinterpret_cast<const char*>(text) : "unknown error");
}

template <typename F>
_GLUfuncptr asGluCallback(F* function) {
    return reinterpret_cast<_GLUfuncptr>(function);
}

void discardTessellator() {
    if (!tobj) return;
    // Deleting mid-polygon reports a missing end; the shape is dropped on
    // purpose, so that is no error.
    gluTessCallback(tobj, GLU_TESS_ERROR, nullptr);
    gluDeleteTess(tobj);
    tobj = nullptr;
}

void endContour(bool close) {
    const int count = static_cast<int>(polyVertices.size());
    if (close && currentStartVertex < count) {
        const double* start = polyVertices[currentStartVertex].get();
        polyVertices.push_back(makeVertex(start[0], start[1]));
    }

    const int first = currentStartVertex;
    const int last = static_cast<int>(polyVertices.size());
    if (polyMode == OF_POLY_WINDING_ODD && drawMode == OF_OUTLINE) {
        const int n = last - first;
        if (n <= 0) return;
        contourPoints.resize(static_cast<size_t>(n) * 2);
        for (int i = 0; i < n; i++) {
            contourPoints[i * 2] = static_cast<float>(polyVertices[first + i][0]);
            contourPoints[i * 2 + 1] = static_cast<float>(polyVertices[first + i][1]);
        }
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, contourPoints.data());
        glDrawArrays(GL_LINE_STRIP, 0, n);
    } else if (tobj) {
        gluTessBeginContour(tobj);
        for (int i = first; i < last; i++) {
            double* v = polyVertices[i].get();
            gluTessVertex(tobj, v, v);
        }
        gluTessEndContour(tobj);
    }
}

void addCatmullRomPoints(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    const int points = curvePointCount();
    for (int i = 0; i < points; i++) {
        const float t = static_cast<float>(i) / static_cast<float>(points - 1);
        const float t2 = t * t;
        const float t3 = t2 * t;
        const float x = 0.5f * ((2 * x1) + (x2 - x0) * t + (2 * x0 - 5 * x1 + 4 * x2 - x3) * t2 +
                                (3 * x1 - x0 - 3 * x2 + x3) * t3);
        const float y = 0.5f * ((2 * y1) + (y2 - y0) * t + (2 * y0 - 5 * y1 + 4 * y2 - y3) * t2 +
                                (3 * y1 - y0 - 3 * y2 + y3) * t3);
        polyVertices.push_back(makeVertex(x, y));
    }
}

void addBezierPoints(float x0, float y0, float cx1, float cy1, float cx2, float cy2, float x1, float y1) {
    const float cx = 3 * (cx1 - x0);
    const float bx = 3 * (cx2 - cx1) - cx;
    const float ax = x1 - x0 - cx - bx;
    const float cy = 3 * (cy1 - y0);
    const float by = 3 * (cy2 - cy1) - cy;
    const float ay = y1 - y0 - cy - by;

    const int points = curvePointCount();
    for (int i = 0; i < points; i++) {
        const float t = static_cast<float>(i) / static_cast<float>(points - 1);
        const float t2 = t * t;
        const float t3 = t2 * t;
        polyVertices.push_back(makeVertex(ax * t3 + bx * t2 + cx * t + x0, ay * t3 + by * t2 + cy * t + y0));
    }
}

}  // namespace

void ofBeginShape() {
    // A shape still open is dropped: its tessellator and its smoothing wrap
    // go first.
    discardTessellator();
    if (shapeSmoothed) endSmoothing();

    shapeSmoothed = bSmoothHinted && drawMode == OF_OUTLINE;
    if (shapeSmoothed) startSmoothing();

    clearTessVertices();

    tobj = gluNewTess();
    if (!tobj) return;
    gluTessCallback(tobj, GLU_TESS_BEGIN, asGluCallback(&tessBegin));
    gluTessCallback(tobj, GLU_TESS_VERTEX, asGluCallback(&tessVertex));
    gluTessCallback(tobj, GLU_TESS_COMBINE, asGluCallback(&tessCombine));
    gluTessCallback(tobj, GLU_TESS_END, asGluCallback(&tessEnd));
    gluTessCallback(tobj, GLU_TESS_ERROR, asGluCallback(&tessError));

    gluTessProperty(tobj, GLU_TESS_WINDING_RULE, polyMode);
    gluTessProperty(tobj, GLU_TESS_BOUNDARY_ONLY, drawMode == OF_OUTLINE ? 1 : 0);
    gluTessProperty(tobj, GLU_TESS_TOLERANCE, 0);

    gluTessNormal(tobj, 0.0, 0.0, 1.0);
    gluTessBeginPolygon(tobj, nullptr);
}

void ofVertex(float x, float y) {
    polyVertices.push_back(makeVertex(x, y));
    clearCurveVertices();
}

void ofCurveVertex(float x, float y) {
    curveVertices.push_back(makeVertex(x, y));
    // Only the latest four control points take part.
    if (curveVertices.size() > 4) curveVertices.erase(curveVertices.begin());
    if (curveVertices.size() < 4) return;

    auto cx = [](int i) { return static_cast<float>(curveVertices[i][0]); };
    auto cy = [](int i) { return static_cast<float>(curveVertices[i][1]); };
    addCatmullRomPoints(cx(0), cy(0), cx(1), cy(1), cx(2), cy(2), cx(3), cy(3));
}

void ofBezierVertex(float x1, float y1, float x2, float y2, float x3, float y3) {
    clearCurveVertices();
    if (polyVertices.empty()) return;
    const double* last = polyVertices.back().get();
    addBezierPoints(static_cast<float>(last[0]), static_cast<float>(last[1]), x1, y1, x2, y2, x3, y3);
}

void ofNextContour(bool bClose) {
    endContour(bClose);
    currentStartVertex = static_cast<int>(polyVertices.size());
}

void ofEndShape(bool bClose) {
    endContour(bClose);
    if (tobj) {
        gluTessEndPolygon(tobj);
        gluDeleteTess(tobj);
        tobj = nullptr;
    }
    clearTessVertices();
    if (shapeSmoothed) {
        endSmoothing();
        shapeSmoothed = false;
    }
}

void ofCurve(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    ofBeginShape();
    addCatmullRomPoints(x0, y0, x1, y1, x2, y2, x3, y3);
    ofEndShape(false);
}

void ofBezier(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    ofBeginShape();
    addBezierPoints(x0, y0, x1, y1, x2, y2, x3, y3);
    ofEndShape(false);
}
