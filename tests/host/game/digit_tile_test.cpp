#include <gtest/gtest.h>

#include "game_fixture.h"
#include "res/resource_ids.h"

namespace {

class DigitTileTest : public GameTest {
protected:
    DigitTileTest() { servobot.setHitBox(0, 0, 35, 25); }
    void flyWithCentreAt(int cx, int cy) {
        signal.hidden = false;
        signal.x = cx - 4;
        signal.y = cy - 8;
    }

    TileFormation formation{random};
    Play play{scoreIntegrityFlag, random, cueEvents};
    Servobot& servobot = play.servobot;
    Signal& signal = play.signal;
    GuardedValue& score = play.score;
    GameRules& rules = play.rules;
};

TEST_F(DigitTileTest, ASignalCentreStrictlyInsideTheHitBoxHits) {
    struct Case {
        int offsetX, offsetY, centreX, centreY;
        bool hit;
    };
    // Tile at formation (10, 10), hit box (0, 0, 26, 25).
    for (const Case& c : {Case{0, 0, 10, 20, false}, Case{0, 0, 11, 20, true}, Case{0, 0, 35, 20, true},
                          Case{0, 0, 36, 20, false}, Case{0, 0, 20, 10, false}, Case{0, 0, 20, 34, true},
                          Case{0, 0, 20, 35, false}, Case{25, 9, 50, 38, true}, Case{25, 9, 35, 38, false}}) {
        std::unique_ptr<DigitTile> tile = makeTile(formation, 7, 10, 10);
        flyWithCentreAt(c.centreX, c.centreY);
        tile->update(signal, servobot, c.offsetX, c.offsetY, rules);
        EXPECT_EQ(tile->hidden, c.hit) << "offset " << c.offsetX << "," << c.offsetY << " centre " << c.centreX
                                       << "," << c.centreY;
        EXPECT_EQ(signal.hidden, c.hit);
    }
}

TEST_F(DigitTileTest, AHitPlaysTheKeypadToneAndScores) {
    struct Case {
        int digit, cue, points;
    };
    for (const Case& c : {Case{0, IDS_DIGIT_0, 10}, Case{1, 165, 1}, Case{9, 173, 9}}) {
        cueEvents.clear();
        // Digits that differ from the one before, so each scores once.
        std::int32_t before = score.value();
        DigitTile tile(formation.digitImage(c.digit), 10, 10, 0, 0, 26, 25, c.digit);
        tile.startBlinking();  // blinking tiles are hit all the same
        flyWithCentreAt(20, 20);
        tile.update(signal, servobot, 0, 0, rules);
        EXPECT_EQ(cues(), std::vector<int>{c.cue});
        EXPECT_EQ(score.value() - before, c.points);
        EXPECT_EQ(play.codeStore.entry(0), c.digit);
    }
}

TEST_F(DigitTileTest, ASignalHitsOnlyOneTile) {
    std::unique_ptr<DigitTile> a = makeTile(formation, 2, 10, 10);
    std::unique_ptr<DigitTile> b = makeTile(formation, 2, 10, 10);
    flyWithCentreAt(20, 20);
    a->update(signal, servobot, 0, 0, rules);
    b->update(signal, servobot, 0, 0, rules);
    EXPECT_TRUE(a->hidden);
    EXPECT_FALSE(b->hidden);
    EXPECT_EQ(score.value(), 2);
}

TEST_F(DigitTileTest, ATouchCountsOnlyWithoutProtection) {
    for (bool shielded : {true, false}) {
        servobot.hidden = false;
        servobot.reset();
        if (!shielded) unprotect(servobot);
        DigitTile tile(formation.digitImage(4), 40, 260, 0, 0, 26, 25, 4);
        tile.update(signal, servobot, 0, 0, rules);
        EXPECT_EQ(servobot.hidden, !shielded);
        EXPECT_FALSE(servobot.killedByImpulse());
    }
}

TEST_F(DigitTileTest, ABlinkingTileSkipsTwoDrawnFrames) {
    DigitTile tile(formation.digitImage(4), 100, 100, 0, 0, 26, 25, 4);
    Image screen(400, 300);
    tile.startBlinking();
    for (bool expected : {false, false, true, true}) {
        screen.fillRect(0, 0, 400, 300, 0);
        tile.countDrawnFrame();
        tile.draw(screen, 0, 0);
        EXPECT_EQ(screen.pixels[101 * 400 + 101] == tileColour, expected);
    }
}

}  // namespace
