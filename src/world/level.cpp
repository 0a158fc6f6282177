#include "world/level.h"

#include "files/content_file.h"
#include "log/console.h"
#include "world/level_file.h"
#include "world/linking.h"

Mat4 lightViewFrom(const Vec3& light) {
    const Vec3 origin{0.0f, 0.0f, 0.0f};
    const Vec3 up{0.0f, 1.0f, 0.0f};
    const Vec3 alongZ{0.0f, 0.0f, -1.0f};
    // a light at the origin has no direction to the origin: look straight down
    if (light == origin) return lookAt(light, {0.0f, -1.0f, 0.0f}, alongZ);
    // +Y cannot be the up vector of a view along the Y axis
    const Vec3 side = cross(normalise(origin - light), up);
    if (!(dot(side, side) > 1e-12f)) return lookAt(light, origin, alongZ);
    return lookAt(light, origin, up);
}

Level::Level(const Vec4& ambient, const Vec3& light, const Vec4& lightCol, std::string next,
             std::vector<Block*> levelBlocks, int root)
    : ambientColor(ambient),
      lightPosition(light),
      lightColor(lightCol),
      lightView(lightViewFrom(light)),
      nextLevel(std::move(next)),
      blocks(std::move(levelBlocks)),
      rootIndex(root) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        blocks[i]->index = static_cast<int>(i);
        for (int f = 0; f < 6; ++f) {
            if (blocks[i]->decals[f] == Decal::Collectable) ++collectableCount;
            if (blocks[i]->decals[f] == Decal::Goal) {
                if (goalIndex != -1) console() << "ERROR: Multiple goals defined" << std::endl;
                goalIndex = static_cast<int>(i);
            }
        }
    }
    if (goalIndex == -1) console() << "ERROR: This level doesn't have a goal!" << std::endl;
}

Level::~Level() {
    for (Block* b : blocks) delete b;
}

void Level::reset() {
    Block& root = *blocks[rootIndex];
    root.reset();
    root.unmark();
    if (collectableCount == 0) activateGoal();
}

void Level::activateGoal() {
    if (goalIndex != -1) blocks[goalIndex]->activateGoal();
}

std::unique_ptr<Level> loadLevelFromText(const char* name, const std::string& xml) {
    LevelFile file;
    if (!readLevelText(xml, file)) {
        console() << "Loading file " << name << " failed!" << std::endl;
        return nullptr;
    }
    if (!file.root) {
        console() << "ERROR: Block at position (0,0,0) is required!" << std::endl;
        return nullptr;
    }
    Block& root = *file.root;
    std::vector<Block*> kept = linkBlocks(file.blocks, root);
    return std::make_unique<Level>(file.ambientColor, file.lightPosition, file.lightColor,
                                   std::move(file.nextLevel), std::move(kept), root.index);
}

std::unique_ptr<Level> loadLevel(const std::filesystem::path& contentRoot, const char* name) {
    const std::string fileName = name ? name : "";
    const auto fail = [&](const std::string& why) -> std::unique_ptr<Level> {
        console() << why << std::endl;
        console() << "Loading file " << fileName << " failed!" << std::endl;
        return nullptr;
    };
    if (fileName.size() > maxLevelNameLength)
        return fail("ERROR: level file name is longer than 26 characters: " + fileName);
    if (!isPlainLevelName(fileName))
        return fail("ERROR: level file name is not a plain name in maps/ (letters, digits, '.', '-', '_'): " +
                    fileName);
    const ContentFile file = readContentFile((contentRoot / "maps" / fileName).string(), ContentKind::Level);
    if (file.missing) {
        console() << "Loading file " << fileName << " failed!" << std::endl;
        return nullptr;
    }
    if (!file.ok()) return fail(contentRefusal("maps/" + fileName, file));
    return loadLevelFromText(fileName.c_str(), file.text);
}
