#pragma once
// One OpenGL texture showing a block of pixels. A rectangle texture at the
// data size where the driver has GL_ARB_texture_rectangle and the framework
// allows it, else a power-of-two 2D texture of which the top-left part is
// used. Every call makes GL calls: render thread only.

#include <GL/glew.h>

#include "framework/ofBaseApp.h"
#include "framework/ofBaseTypes.h"

class ofTexture : public ofBaseDraws {
public:
    ofTexture();
    ~ofTexture() override;
    ofTexture(const ofTexture&) = delete;
    ofTexture& operator=(const ofTexture&) = delete;

    // Storage only (contents undefined); any earlier texture is deleted.
    void allocate(int w, int h, int internalGlDataType);
    void allocate(int w, int h, int internalGlDataType, bool useRectangle);
    void clear();

    // Uploads w x h tightly packed pixels into the top-left of the storage;
    // data larger than the storage is refused with an error line.
    void loadData(const unsigned char* data, int w, int h, int glDataType);
    void loadData(const float* data, int w, int h, int glDataType);
    // Copies a window rectangle ((x, y) top-left, y down) into the texture.
    void loadScreenData(int x, int y, int w, int h);

    void draw(float x, float y) override;
    void draw(float x, float y, float w, float h) override;
    float getHeight() override;
    float getWidth() override;
    void setAnchorPercent(float xPct, float yPct) override;
    void setAnchorPoint(float x, float y) override;
    void resetAnchor() override;

    void bind();
    void unbind();
    void setTextureWrap(GLint wrapS, GLint wrapT);
    void setTextureMinMagFilter(GLint minFilter, GLint magFilter);

    bool bAllocated();

    bool allocated;
    int glFormat;
    int internalFormat;
    int target;
    int pixelType;
    float extentX, extentY;
    float allocWidth, allocHeight;
    float width, height;
    bool flipped;
    GLuint textureId;
    ofPoint anchor;
    bool anchorIsPercent;

private:
    bool fitsStorage(int w, int h) const;
    void setExtents(int w, int h);
    void upload(const void* data, int w, int h, int glDataType);
};

// The one-texel inset that keeps 2D textures from sampling their clamped
// border; on unless switched off.
void ofEnableTextureEdgeHack();
void ofDisableTextureEdgeHack();
