#pragma once
// The GL objects the scene is drawn with besides the avatar's: made once at
// start-up and kept for the whole run.

struct SceneResources {
    unsigned shadowFramebuffer = 0;  // depth-only target of the shadow pass
    unsigned shadowProgram = 0;      // program of the shadow pass
    unsigned blockTexture = 0;       // texture of every block face
};

extern SceneResources sceneResources;

// Makes the shadow target, links the shadow program and loads the block
// texture and the collectable model, in that order.
void loadSceneResources();
