#include "game_fixture.h"

#include "platform/fake_control.h"
#include "res/resource_ids.h"

namespace {

// A "pvb/rle" picture of one colour.
std::vector<std::uint8_t> plainPicture(int width, int height, std::uint8_t colour) {
    std::vector<std::uint8_t> bytes = {'p', 'v', 'b', '/', 'r', 'l', 'e'};
    bytes.push_back(static_cast<std::uint8_t>(width >> 8));
    bytes.push_back(static_cast<std::uint8_t>(width));
    bytes.push_back(static_cast<std::uint8_t>(height >> 8));
    bytes.push_back(static_cast<std::uint8_t>(height));
    for (int left = width * height; left > 0; left -= 255) {
        bytes.insert(bytes.end(), {0xFF, colour, static_cast<std::uint8_t>(left > 255 ? 255 : left)});
    }
    return bytes;
}

void addPicture(int id, int width, int height, std::uint8_t colour) {
    platform::fake::addResource(platform::ResourceType::RcData, id, plainPicture(width, height, colour));
}

}  // namespace

GameTest::GameTest() {
    for (int d = 0; d < 10; ++d) {
        addPicture(IDP_DIGIT_0 + d, 7, 11, 0);
        addPicture(IDP_TILE_0 + d, 28, 28, tileColour);
    }
    addPicture(IDP_VAKTOR, 37, 49, vaktorColour);
    addPicture(IDP_SERVOBOT, 35, 25, servobotColour);
    addPicture(IDP_SIGNAL, 9, 16, signalColour);
    addPicture(IDP_PANEL, 65, 300, 191);
    addPicture(IDP_STAR, 8, 10, 255);
    addPicture(IDP_SQUARE, 9, 10, 255);
}

GameTest::~GameTest() { platform::fake::clearAddedResources(); }

Play::Play(bool& integrityFlag, GameRandom& random, CueEvents& cues)
    : score(integrityFlag, 0),
      lives(integrityFlag, 4),
      level(integrityFlag, 1),
      rules({servobot, signal, figures, formation, score, lives, level, codeStore, random, cues, gameOver}) {}

void emptyFormation(TileFormation& formation) {
    formation.tiles.clear();
    formation.diving.reset();
}

std::unique_ptr<DigitTile> makeTile(const TileFormation& formation, int d, int x, int y) {
    return std::make_unique<DigitTile>(formation.digitImage(d), x, y, 0, 0, 26, 25, d);
}

FigureRow::FigureRow(VaktorFigure (&f)[4]) : figures{&f[0], &f[1], &f[2], &f[3]} {}
