#include "platform/web/page_game.h"

#include <gtest/gtest.h>

#include "game/game_actions.h"

namespace {

TEST(PageGame, DescribesTheDeclarationForThePage) {
    static const TarvoAction actions[] = {
        {"turn_left", platform::VK_LEFT, "Left"}, {"jump", 'J', "J"}, {"duck", 'K', "K", TarvoPad::Auto, "\u25BC"}};
    TarvoGameInfo game;
    game.name = "hop";
    game.title = "Hop \"and\" skip";
    game.help = "Jump.\nTab\there \u00e9";
    game.version = "2.1";
    game.width = 320;
    game.height = 200;
    game.actions = actions;
    EXPECT_EQ(platform::PageGameJson(game, ""),
              "{\"name\":\"hop\",\"title\":\"Hop \\\"and\\\" skip\",\"help\":\"Jump.\\nTab\\u0009here \u00e9\","
              "\"version\":\"2.1\",\"width\":320,\"height\":200,\"muteKey\":false,\"problem\":\"\",\"actions\":["
              "{\"name\":\"turn_left\",\"key\":\"LEFT\",\"vk\":37,\"label\":\"\u25C0\"},"
              "{\"name\":\"jump\",\"key\":\"J\",\"vk\":74,\"label\":\"jump\"},"
              "{\"name\":\"duck\",\"key\":\"K\",\"vk\":75,\"label\":\"\u25BC\"}]}");
}

TEST(PageGame, ShooterKeepsItsTouchControlNames) {
    TarvoGameInfo game;
    game.actions = kShooterActions;
    game.muteKey = true;
    const std::string json = platform::PageGameJson(game, "the action x has no key at all");
    for (const char* key : {"\"key\":\"LEFT\"", "\"key\":\"RIGHT\"", "\"key\":\"UP\"", "\"key\":\"DOWN\"",
                            "\"key\":\"SPACE\"", "\"key\":\"P\""})
        EXPECT_NE(json.find(key), std::string::npos) << key;
    EXPECT_NE(json.find("\"muteKey\":true,\"problem\":\"the action x has no key at all\""), std::string::npos);
    EXPECT_NE(json.find("\"name\":\"\",\"title\":\"\""), std::string::npos);
}

TEST(PageGame, JsonStringEscapesWhatJsonMust) {
    EXPECT_EQ(platform::JsonString(std::string("a\\b\x01\x7f</", 7)), "\"a\\\\b\\u0001\\u007f\\u003c/\"");
}

}  // namespace
