#pragma once
// The collectable items drawn on the faces of a level.

#include "render/model_draw.h"

// The one collectable model, shared by every collectable face; empty until
// the game loads it.
extern DrawnModel collectableModel;
