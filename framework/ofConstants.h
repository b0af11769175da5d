#pragma once
// Shared constants of the rendering framework.

#include <GL/glew.h>
#include <GL/glu.h>
#include <string>
#include <vector>

// The log levels (OF_LOG_...).
#include "framework/ofLog.h"

#define OF_WINDOW 0
#define OF_FULLSCREEN 1
#define OF_GAME_MODE 2

#ifndef PI
#define PI 3.14159265358979323846
#endif
#ifndef TWO_PI
#define TWO_PI 6.28318530717958647693
#endif
#ifndef HALF_PI
#define HALF_PI 1.57079632679489661923
#endif
#ifndef DEG_TO_RAD
#define DEG_TO_RAD (PI / 180.0)
#endif
#ifndef RAD_TO_DEG
#define RAD_TO_DEG (180.0 / PI)
#endif
