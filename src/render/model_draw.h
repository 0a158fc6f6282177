#pragma once
// The GL side of MD5 models: the first mesh in buffer objects, the texture,
// and drawing with the attribute locations of the program in use.

class MD5Model;

// Loads the mesh file, uploads its first mesh when buffer objects are
// supported and loads the texture file (may be null). Throws
// MD5Model::Exception; a model that failed to load is left without meshes
// and draws nothing.
void loadModel(MD5Model& model, const char* meshFile, const char* textureFile);
// Loads a model, reporting a failure as "ERROR: " and the reason; the model
// is then empty and draws nothing. Returns whether it loaded.
bool loadModelOrReport(MD5Model& model, const char* meshFile, const char* textureFile);
// Puts the first mesh into a vertex and an index buffer.
void createModelBuffers(MD5Model& model);
// Draws with the program, model matrix and attribute arrays set up by the caller.
void drawModel(const MD5Model& model);
// Returns the distance from the model's origin to its farthest vertex (0
// for a model without meshes).
float modelRadius(const MD5Model& model);
