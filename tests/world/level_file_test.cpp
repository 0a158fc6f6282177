#include <gtest/gtest.h>

#include <cmath>

#include "world/level_file.h"
#include "world_test_util.h"

using Lines = std::vector<std::string>;

TEST(LevelFile, SmallLevelPrintsItsAccountInOrder) {
    const std::string xml =
        "<map next=\"level1.xml\"><level r=\"0.2\" g=\"0.2\" b=\"0.25\">"
        "<light x=\"2\" y=\"6\" z=\"3\" r=\"1\" g=\"1\" b=\"0.9\"/>"
        "<block x=\"0\" y=\"0\" z=\"0\"><collectable face=\"top\"/></block>"
        "<block x=\"1\" y=\"0\" z=\"0\"><goal face=\"top\"/></block>"
        "</level></map>";
    Lines lines;
    auto level = loadQuietly(xml, &lines);
    ASSERT_TRUE(level);
    EXPECT_EQ(lines, (Lines{"next level is level1.xml", "decal2face1", "decal4face1", "linking 0010", "linking 0010",
                            "Level consists of 2 blocks"}));
    EXPECT_EQ(level->nextLevel, "level1.xml");
    EXPECT_EQ(level->collectableCount, 1);
    EXPECT_EQ(level->goalIndex, 1);
    EXPECT_EQ(level->rootIndex, 0);
    EXPECT_EQ(level->blocks[0]->linkAxis, 0);
    EXPECT_EQ(level->blocks[1]->linkAxis, 0);
    EXPECT_FLOAT_EQ(level->ambientColor.z, 0.25f);
    EXPECT_EQ(level->ambientColor.w, 1.0f);
    EXPECT_EQ(level->lightPosition, (Vec3{2, 6, 3}));
    EXPECT_FLOAT_EQ(level->lightColor.z, 0.9f);
    EXPECT_EQ(level->lightColor.w, 1.0f);
    const Mat4 expected = lookAt({2, 6, 3}, {0, 0, 0}, {0, 1, 0});
    for (int i = 0; i < 16; ++i) EXPECT_EQ(level->lightView[i], expected[i]);
}

TEST(LevelFile, RootAttributesAreReportedInDocumentOrder) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<goal face=\"top\"/>"), "author=\"me\" next=\"b.xml\" x=\"1\""),
                             &lines);
    ASSERT_TRUE(level);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "WARNUNG: unknown level attribute: author");
    EXPECT_EQ(lines[1], "next level is b.xml");
    EXPECT_EQ(lines[2], "WARNUNG: unknown level attribute: x");
}

TEST(LevelFile, LightAfterTheFirstBlockIsAlsoABlock) {
    const std::string xml =
        "<map next=\"n\"><level r=\"0\" g=\"0\" b=\"0\"><block x=\"0\" y=\"0\" z=\"0\"/>"
        "<light x=\"1.7\" y=\"0\" z=\"0\" r=\"1\" g=\"1\" b=\"1\"/><sign x=\"2\" y=\"0\" z=\"0\"/></level></map>";
    Lines lines;
    auto level = loadQuietly(xml, &lines);
    ASSERT_TRUE(level);
    EXPECT_FLOAT_EQ(level->lightPosition.x, 1.7f);
    ASSERT_EQ(level->blocks.size(), 3u);
    EXPECT_EQ(level->blocks[1]->x, 1);  // 1.7 read as an integer
    EXPECT_EQ(level->blocks[2]->x, 2);  // any element after the first block is a block
}

TEST(LevelFile, DecalsApplyBlackholesThenCollectablesThenOneGoal) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0,
                                               "<collectable face=\"top\"/><blackhole face=\"top\"/>"
                                               "<goal face=\"front\"/><goal face=\"back\"/><hat face=\"left\"/>"
                                               "<collectable face=\"front\"/>")),
                             &lines);
    ASSERT_TRUE(level);
    const Block& b = *level->blocks[0];
    EXPECT_EQ(b.decals[Direction::Top], Decal::Blackhole);
    EXPECT_EQ(b.decals[Direction::Front], Decal::Collectable);
    EXPECT_EQ(b.decals[Direction::Back], Decal::Plain);
    EXPECT_EQ(b.decals[Direction::Left], Decal::Plain);
    EXPECT_EQ((Lines{lines.begin() + 1, lines.begin() + 3}), (Lines{"decal1face1", "decal2face5"}));
    EXPECT_EQ(level->collectableCount, 1);
    EXPECT_EQ(level->goalIndex, -1);
}

TEST(LevelFile, DirectionWordsAreExact) {
    const char* words[6] = {"right", "top", "back", "left", "bottom", "front"};
    for (int d = 0; d < 6; ++d) EXPECT_EQ(parseDirection(words[d]), d);
    ConsoleCapture capture;
    EXPECT_EQ(parseDirection("Top"), -1);
    EXPECT_EQ(parseDirection("up"), -1);
    EXPECT_EQ(parseDirection(""), -1);
    EXPECT_EQ(capture.lines(), (Lines{"ERROR: illegal direction specifier: Top", "ERROR: illegal direction specifier: up",
                                      "ERROR: illegal direction specifier: "}));
}

TEST(LevelFile, IllegalFaceWordSkipsOnlyItsElement) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<collectable face=\"Top\"/><goal face=\"top\"/>")), &lines);
    ASSERT_TRUE(level);
    EXPECT_EQ(lines[1], "ERROR: illegal direction specifier: Top");
    EXPECT_EQ(lines[2], "decal4face1");
    EXPECT_EQ(level->collectableCount, 0);
}

TEST(LevelFile, NumbersReadLikeScanf) {
    auto level = loadQuietly(
        "<m next=\"n\"><level r=\" 0.5x\" g=\"-1e1\" b=\"abc\"><light x=\"+3\" y=\"4\" z=\"5\" r=\"1e300\"/>"
        "<block x=\" 0\" y=\"-0\" z=\"0.9\"/><block x=\"2.5\" y=\"0\" z=\"0\"/><block x=\"+1\" y=\"0\" z=\"0\"/>"
        "</level></m>");
    ASSERT_TRUE(level);
    EXPECT_EQ(level->ambientColor.x, 0.5f);
    EXPECT_EQ(level->ambientColor.y, -10.0f);
    EXPECT_EQ(level->ambientColor.z, defaultAmbient);  // not a number: default
    EXPECT_EQ(level->lightPosition.x, 3.0f);
    EXPECT_TRUE(std::isinf(level->lightColor.x));
    EXPECT_EQ(level->lightColor.y, defaultLightColor);
    ASSERT_EQ(level->blocks.size(), 3u);
    EXPECT_EQ(level->blocks[1]->x, 2);
}

TEST(LevelFile, AbsentColoursAndLightTakeDefaults) {
    auto level = loadQuietly("<m next=\"n\"><level><light/><block x=\"0\" y=\"0\" z=\"0\"/></level></m>");
    ASSERT_TRUE(level);
    EXPECT_EQ(level->ambientColor.x, defaultAmbient);
    EXPECT_EQ(level->ambientColor.y, defaultAmbient);
    EXPECT_EQ(level->ambientColor.z, defaultAmbient);
    EXPECT_EQ(level->lightColor.x, defaultLightColor);
    EXPECT_EQ(level->lightColor.z, defaultLightColor);
    EXPECT_EQ(level->lightPosition, (Vec3{0, 0, 0}));
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(level->lightView[i])) << i;
}

TEST(LevelFile, MalformedOrIncompleteFilesAreRefusedWithOneReason) {
    const std::string block = blockXml(0, 0, 0);
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"<map next=\"n\"><level>", ""},
        {"<!-- nothing here -->", "ERROR: level file has no root element"},
        {"<map><level><light/>" + block + "</level></map>", "ERROR: level file has no next attribute"},
        {"<map next=\"n\"><levels/></map>", "ERROR: level file has no level element"},
        {"<map next=\"n\"><level>" + block + "</level></map>", "ERROR: level element has no light element"},
        {levelXml("<block x=\"0\" z=\"0\"/>"), "ERROR: block element without integer attribute y"},
        {levelXml("<block x=\"a\" y=\"0\" z=\"0\"/>"), "ERROR: block element without integer attribute x"},
        {levelXml(blockXml(0, 0, 0, "<goal side=\"top\"/>")), "ERROR: goal element without attribute face"},
        {levelXml(block, "next=\"abcdefghijklmnopqrstuvwxyz.xml\""),
         "ERROR: next level name is longer than 26 characters: abcdefghijklmnopqrstuvwxyz.xml"},
    };
    for (const auto& [xml, reason] : cases) {
        Lines lines;
        EXPECT_FALSE(loadQuietly(xml, &lines)) << xml;
        ASSERT_FALSE(lines.empty()) << xml;
        EXPECT_EQ(lines.back(), "Loading file test.xml failed!") << xml;
        if (!reason.empty()) {
            ASSERT_GE(lines.size(), 2u) << xml;
            EXPECT_EQ(lines[lines.size() - 2], reason) << xml;
        } else {
            EXPECT_EQ(lines.size(), 1u) << xml;
        }
    }
}

TEST(LevelFile, NamesUpToTwentySixCharactersAreAccepted) {
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0), "next=\"abcdefghijklmnopqrstuv.xml\""));
    ASSERT_TRUE(level);
    EXPECT_EQ(level->nextLevel, "abcdefghijklmnopqrstuv.xml");
    // a byte order mark is skipped and other bytes pass through unchanged
    auto marked = loadQuietly("\xEF\xBB\xBF" + levelXml(blockXml(0, 0, 0), "next=\"l\xC3\xA9vel.xml\""));
    ASSERT_TRUE(marked);
    EXPECT_EQ(marked->nextLevel, "l\xC3\xA9vel.xml");
}

TEST(LevelFile, NestingIsCountedAsTheParserSeesIt) {
    const struct {
        const char* xml;
        std::size_t depth;
    } cases[] = {
        {"<a><b><c/></b></a>", 3},
        {"<a/><b/><c/>", 1},
        {"<?xml version=\"1.0\"?><!-- <x><x><x> --><a><![CDATA[<x><x>]]></a>", 1},
        {"<a t=\"<x><x>\" u='/>'><b/></a>", 2},  // quoted values hide tags
        {"<a t=x/><b>", 1},                         // an unquoted value ends at "/"
        {"<a></a></a></a><b><c>", 2},               // stray end tags do not go below zero
        {"<1><2><3>", 0},                           // not element names: the parser skips them
        {"<_a><\xC3\xA9>", 2},                      // "_" and high bytes start names
        {"<a b=\"unterminated><c><c><c>", 1},       // the parser reads the value to the end too
    };
    for (const auto& c : cases) EXPECT_EQ(xmlNestingDepth(c.xml, 100), c.depth) << c.xml;
}

// A document nested far deeper than any level (the parser recurses once per
// level, and slows down long before its stack ends) is refused before it is
// parsed, quickly and with one line; the deepest shipped shape still loads.
TEST(LevelFile, DeepNestingIsRefusedBeforeParsing) {
    const auto nested = [](std::size_t depth, const char* open) {
        std::string inside = "<goal face=\"top\"/>";
        for (std::size_t i = 0; i < depth; ++i) inside += open;
        for (std::size_t i = 0; i < depth; ++i) inside += "</x>";
        return levelXml(blockXml(0, 0, 0, inside));
    };
    const struct {
        std::size_t depth;
        const char* open;
        bool loads;
    } cases[] = {
        {maxLevelNesting - 3, "<x>", true},  // inside map, level and block
        {maxLevelNesting - 2, "<x>", false},
        {200000, "<x>", false},
        {200000, "<x a='1'>", false},
        {200000, "<x><!-- -->", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.depth);
        Lines lines;
        const auto level = loadQuietly(nested(c.depth, c.open), &lines);
        EXPECT_EQ(level != nullptr, c.loads);
        if (!c.loads) {
            EXPECT_EQ(lines, (Lines{"ERROR: level file nests elements deeper than 32", "Loading file test.xml failed!"}));
        }
    }
}
