#pragma once
// The GL side of the avatar: its brain model and cage texture, and drawing
// it in the pose the motion code computed.

#include <array>

#include "render/scene_math.h"

class Player;

// Loads the brain model and the cage texture (once, at start-up).
void loadAvatarLook();
// Draws brain and cage in the pose of `player` with the program in use
// (needs a GL context).
void drawAvatar(const Player& player);
// Returns balls around the brain and the cage as drawAvatar draws them.
std::array<Sphere, 2> avatarBounds(const Player& player);
