#include "render/scene_resources.h"

#include "assets/shader.h"
#include "assets/texture.h"
#include "render/collectables.h"
#include "render/model_draw.h"
#include "render/shadow_target.h"

SceneResources sceneResources;

void loadSceneResources() {
    sceneResources.shadowFramebuffer = createShadowTarget();
    sceneResources.shadowProgram = buildProgram("shadow.vert", "shadow.frag");
    sceneResources.blockTexture = loadMipmapTexture("textures/blocktexture.tga");
    loadModelOrReport(collectableModel, "models/synapse.md5mesh", "textures/synalpha.tga");
}
