#pragma once
// The GL side of MD5 models: the first mesh in buffer objects, the texture,
// and drawing with the attribute locations of the program in use.

#include "assets/md5_model.h"

// A model as the renderer draws it: the parsed mesh and the GL names made
// for it, 0 until uploaded or loaded. It owns the names: they go with it,
// or with the next load into it.
class DrawnModel {
public:
    DrawnModel() = default;
    ~DrawnModel();
    DrawnModel(const DrawnModel&) = delete;
    DrawnModel& operator=(const DrawnModel&) = delete;

    MD5Model mesh;
    unsigned vertexBuffer = 0;  // first mesh's vertices, when buffer objects are supported
    unsigned indexBuffer = 0;   // first mesh's triangles
    unsigned texture = 0;       // 0: untextured

    // Deletes the buffers and the texture; the mesh stays.
    void release();
};

// Loads the mesh file, uploads its first mesh when buffer objects are
// supported and loads the texture file (may be null), after releasing what
// the model held. Throws MD5Model::Exception; a model that failed to load is
// left without meshes and draws nothing.
void loadModel(DrawnModel& model, const char* meshFile, const char* textureFile);
// Loads a model, reporting a failure as "ERROR: " and the reason; the model
// is then empty and draws nothing. Returns whether it loaded.
bool loadModelOrReport(DrawnModel& model, const char* meshFile, const char* textureFile);
// Draws with the program, model matrix and attribute arrays set up by the caller.
void drawModel(const DrawnModel& model);
// Returns the distance from the model's origin to its farthest vertex (0
// for a model without meshes).
float modelRadius(const MD5Model& model);
