#pragma once
// Interfaces shared by the drawable things of the framework: anything that
// draws, anything that owns a texture, anything that owns pixels.

class ofTexture;

class ofBaseDraws {
public:
    virtual ~ofBaseDraws() {}
    virtual void draw(float x, float y) = 0;
    virtual void draw(float x, float y, float w, float h) = 0;
    virtual float getHeight() = 0;
    virtual float getWidth() = 0;
    virtual void setAnchorPercent(float xPct, float yPct) {}
    virtual void setAnchorPoint(float x, float y) {}
    virtual void resetAnchor() {}
};

class ofBaseHasTexture {
public:
    virtual ~ofBaseHasTexture() {}
    virtual ofTexture& getTextureReference() = 0;
    virtual void setUseTexture(bool use) = 0;
};

class ofBaseHasPixels {
public:
    virtual ~ofBaseHasPixels() {}
    virtual unsigned char* getPixels() = 0;
};

class ofBaseImage : public ofBaseDraws, public ofBaseHasTexture, public ofBaseHasPixels {};
