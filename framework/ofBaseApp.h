#pragma once
// The application interface the window drives, and the point type the window
// reports positions and sizes in.

class ofPoint {
public:
    ofPoint(float x_ = 0, float y_ = 0, float z_ = 0) : x(x_), y(y_), z(z_) {}
    virtual ~ofPoint() {}
    float x, y, z;
};

class ofBaseApp {
public:
    ofBaseApp() : mouseX(0), mouseY(0) {}
    virtual ~ofBaseApp() {}

    virtual void setup() {}
    virtual void update() {}
    virtual void draw() {}
    virtual void exit() {}
    virtual void windowResized(int w, int h) {}
    virtual void keyPressed(int key) {}
    virtual void keyReleased(int key) {}
    virtual void mouseMoved(int x, int y) {}
    virtual void mouseDragged(int x, int y, int button) {}
    virtual void mousePressed(int x, int y, int button) {}
    virtual void mouseReleased() {}
    virtual void mouseReleased(int x, int y, int button) {}
    virtual void audioReceived(float* input, int bufferSize, int nChannels) {}
    virtual void audioRequested(float* output, int bufferSize, int nChannels) {}

    int mouseX, mouseY;
};
