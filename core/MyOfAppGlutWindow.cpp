#include "core/MyOfAppGlutWindow.h"

void MyOfAppGlutWindow::initializeWindow() {
    // The framework's callbacks, and freeglut's close callback in place of a
    // window procedure: closing or destroying the window ends the process
    // with code 0, every other event reaches GLUT unchanged.
    registerCallbacks();
}
