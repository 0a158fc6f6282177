#pragma once
// The GL side of a level's geometry: the level's vertices and indices in two
// static buffer objects, made when a level is first shown and deleted when
// another level takes its place.

struct Level;

// Uploads the geometry of `level` unless it has its buffers already, and
// then deletes the buffers of the level shown before. Nothing without
// buffer objects (vboSupported) or without a current context.
void keepLevelBuffers(Level& level);
// Rewrites the buffered vertices of blocks whose looks changed since they
// were uploaded (turns, an opened goal, a reset); nothing without buffers.
void refreshLevelLooks(Level& level);
