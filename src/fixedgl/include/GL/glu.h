// GL/glu.h -- the game's GLU calls, provided by our own layer on WebGL.
#pragma once
#include "../../fixedgl.h"
