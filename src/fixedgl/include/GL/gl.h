// GL/gl.h -- the game's GL 1.x calls, provided by our own layer on WebGL.
#pragma once
#include "../../fixedgl.h"
