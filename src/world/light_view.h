#pragma once
// What the light's view covers. The shadow map is drawn from the light
// through the scene's projection; a block reaching outside that view casts
// and receives no shadow there (the lighting treats it as lit).

#include <string>

struct Level;

// Returns how many of the level's blocks reach outside the light's view
// (any corner outside it, or behind the light).
int blocksOutsideLightView(const Level& level);
// Returns the warning about blocks outside the light's view, or an empty
// string when every block lies inside it.
std::string lightViewWarning(const Level& level);
