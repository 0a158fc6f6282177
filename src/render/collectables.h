#pragma once
// The collectable items drawn on the faces of a level.

#include "assets/md5_model.h"

// The one collectable model, shared by every collectable face; empty until
// the game loads it.
extern MD5Model collectableModel;
