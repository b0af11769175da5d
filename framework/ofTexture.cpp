#include "framework/ofTexture.h"

#include "framework/ofAppRunner.h"
#include "framework/ofGraphics.h"
#include "framework/ofMath.h"
#include "framework/ofUtils.h"

namespace {

bool bTexHackEnabled = true;

}  // namespace

void ofEnableTextureEdgeHack() { bTexHackEnabled = true; }
void ofDisableTextureEdgeHack() { bTexHackEnabled = false; }

ofTexture::ofTexture()
    : allocated(false),
      glFormat(0),
      internalFormat(0),
      target(GL_TEXTURE_2D),
      pixelType(GL_UNSIGNED_BYTE),
      extentX(0),
      extentY(0),
      allocWidth(0),
      allocHeight(0),
      width(0),
      height(0),
      flipped(false),
      textureId(0),
      anchor(0, 0, 0),
      anchorIsPercent(false) {}

ofTexture::~ofTexture() { clear(); }

void ofTexture::clear() {
    // No GL call when there is nothing to delete: images are destroyed at
    // exit, possibly with no context current.
    if (textureId != 0) {
        glDeleteTextures(1, &textureId);
        textureId = 0;
    }
    allocated = false;
}

void ofTexture::allocate(int w, int h, int internalGlDataType) {
    allocate(w, h, internalGlDataType, ofGetUsingArbTex());
}

void ofTexture::allocate(int w, int h, int internalGlDataType, bool useRectangle) {
    if (useRectangle && GLEW_ARB_texture_rectangle) {
        target = GL_TEXTURE_RECTANGLE_ARB;
        allocWidth = static_cast<float>(w);
        allocHeight = static_cast<float>(h);
        extentX = static_cast<float>(w);
        extentY = static_cast<float>(h);
    } else {
        target = GL_TEXTURE_2D;
        allocWidth = static_cast<float>(ofNextPow2(w));
        allocHeight = static_cast<float>(ofNextPow2(h));
        extentX = 1.0f;
        extentY = 1.0f;
    }

    internalFormat = internalGlDataType;
    switch (internalGlDataType) {
        case GL_RGBA32F_ARB:
            glFormat = GL_RGBA;
            pixelType = GL_FLOAT;
            break;
        case GL_RGB32F_ARB:
            glFormat = GL_RGB;
            pixelType = GL_FLOAT;
            break;
        case GL_LUMINANCE32F_ARB:
            glFormat = GL_LUMINANCE;
            pixelType = GL_FLOAT;
            break;
        default:
            // Storage without data: the format only has to be a legal one.
            glFormat = GL_LUMINANCE;
            pixelType = GL_UNSIGNED_BYTE;
            break;
    }

    clear();
    glGenTextures(1, &textureId);
    glEnable(target);
    glBindTexture(target, textureId);
    glTexImage2D(target, 0, internalFormat, static_cast<GLsizei>(allocWidth),
                 static_cast<GLsizei>(allocHeight), 0, glFormat, pixelType, nullptr);
    glTexParameterf(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameterf(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(target);

    width = static_cast<float>(w);
    height = static_cast<float>(h);
    flipped = false;
    allocated = true;
}

bool ofTexture::fitsStorage(int w, int h) const {
    if (w < 0 || h < 0 || w > allocWidth || h > allocHeight) {
        ofLog(OF_LOG_ERROR, "image data too big for allocated texture. not uploading...");
        return false;
    }
    return true;
}

void ofTexture::setExtents(int w, int h) {
    if (target == GL_TEXTURE_RECTANGLE_ARB) {
        extentX = static_cast<float>(w);
        extentY = static_cast<float>(h);
    } else {
        extentX = w / allocWidth;
        extentY = h / allocHeight;
    }
}

void ofTexture::loadData(const unsigned char* data, int w, int h, int glDataType) {
    upload(data, w, h, glDataType);
}

void ofTexture::loadData(const float* data, int w, int h, int glDataType) {
    upload(data, w, h, glDataType);
}

void ofTexture::upload(const void* data, int w, int h, int glDataType) {
    if (!fitsStorage(w, h)) return;
    width = static_cast<float>(w);
    height = static_cast<float>(h);
    glFormat = glDataType;
    setExtents(w, h);

    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(target);
    glBindTexture(target, textureId);
    glTexSubImage2D(target, 0, 0, 0, w, h, glFormat, pixelType, data);
    glDisable(target);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    flipped = false;
}

void ofTexture::loadScreenData(int x, int y, int w, int h) {
    const int screenHeight = ofGetHeight();
    flipped = true;
    if (!fitsStorage(w, h)) return;
    width = static_cast<float>(w);
    height = static_cast<float>(h);
    glFormat = GL_RGB;
    setExtents(w, h);

    glEnable(target);
    glBindTexture(target, textureId);
    glCopyTexSubImage2D(target, 0, 0, 0, x, screenHeight - y - h, w, h);
    glDisable(target);
}

void ofTexture::draw(float x, float y) { draw(x, y, width, height); }

void ofTexture::draw(float x, float y, float w, float h) {
    glEnable(target);
    glBindTexture(target, textureId);

    GLfloat px0 = 0, py0 = 0, px1 = w, py1 = h;
    if (flipped) {
        py0 = h;
        py1 = 0;
    }
    if (ofGetRectMode() == OF_RECTMODE_CENTER) {
        px0 = -w * 0.5f;
        py0 = -h * 0.5f;
        px1 = w * 0.5f;
        py1 = h * 0.5f;
    }

    const GLfloat offsetX = anchorIsPercent ? anchor.x * w : anchor.x;
    const GLfloat offsetY = anchorIsPercent ? anchor.y * h : anchor.y;
    px0 -= offsetX;
    px1 -= offsetX;
    py0 -= offsetY;
    py1 -= offsetY;

    GLfloat insetX = 0, insetY = 0;
    if (target == GL_TEXTURE_2D && bTexHackEnabled) {
        insetX = 1.0f / allocWidth;
        insetY = 1.0f / allocHeight;
    }
    const GLfloat tx0 = insetX, ty0 = insetY;
    const GLfloat tx1 = extentX - insetX, ty1 = extentY - insetY;

    glPushMatrix();
    glTranslatef(x, y, 0);

    const GLfloat coords[] = {tx0, ty0, tx1, ty0, tx1, ty1, tx0, ty1};
    const GLfloat vertices[] = {px0, py0, px1, py0, px1, py1, px0, py1};
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, coords);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);

    glPopMatrix();
    glDisable(target);
}

float ofTexture::getHeight() { return height; }
float ofTexture::getWidth() { return width; }

void ofTexture::setAnchorPercent(float xPct, float yPct) {
    anchor.x = xPct;
    anchor.y = yPct;
    anchorIsPercent = true;
}

void ofTexture::setAnchorPoint(float x, float y) {
    anchor.x = x;
    anchor.y = y;
    anchorIsPercent = false;
}

void ofTexture::resetAnchor() {
    anchor = ofPoint(0, 0, 0);
    anchorIsPercent = false;
}

void ofTexture::bind() {
    glEnable(target);
    glBindTexture(target, textureId);
}

void ofTexture::unbind() { glDisable(target); }

void ofTexture::setTextureWrap(GLint wrapS, GLint wrapT) {
    bind();
    glTexParameterf(target, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(wrapS));
    glTexParameterf(target, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(wrapT));
    glDisable(target);
}

void ofTexture::setTextureMinMagFilter(GLint minFilter, GLint magFilter) {
    bind();
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, minFilter);
    glDisable(target);
}

bool ofTexture::bAllocated() { return allocated; }
