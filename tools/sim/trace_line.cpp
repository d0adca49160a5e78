#include "tools/sim/trace_line.h"

#include <concepts>
#include <string_view>

#include "game/world.h"

namespace {

// The line as it is written: numbers in decimal, characters and texts as
// they are. Not a string stream, so that the browser build, which traces
// in its check of the recorded games, need not carry the C++ streams.
class LineWriter {
public:
    LineWriter& operator<<(std::string_view text) {
        line_ += text;
        return *this;
    }
    LineWriter& operator<<(char c) {
        line_ += c;
        return *this;
    }
    template <std::integral Number>
        requires(!std::same_as<Number, char> && !std::same_as<Number, bool>)
    LineWriter& operator<<(Number number) {
        line_ += std::to_string(number);
        return *this;
    }
    std::string str() const { return line_; }

private:
    std::string line_;
};

int flag(bool value) { return value ? 1 : 0; }

void writeImpulse(LineWriter& out, const char* name, const Impulse& impulse) {
    out << ",\"" << name << "\":{\"active\":" << flag(impulse.active()) << ",\"x\":" << impulse.x
        << ",\"y\":" << impulse.y << '}';
}

template <typename Range, typename Item>
void writeArray(LineWriter& out, const Range& range, Item item) {
    out << '[';
    bool first = true;
    for (const auto& element : range) {
        if (!first) out << ',';
        first = false;
        item(element);
    }
    out << ']';
}

}  // namespace

std::string traceLine(World& world, const TickFacts& facts) {
    TileFormation& formation = world.formation();
    LineWriter out;
    out << "{\"tick\":" << facts.tick << ",\"score\":" << world.score().value()
        << ",\"lives\":" << world.lives().value() << ",\"level\":" << world.level().value()
        << ",\"speed\":" << world.rules().speedLevel() << ",\"gameOver\":" << flag(world.gameOver());
    out << ",\"servobot\":{\"x\":" << world.servobot().x << ",\"hidden\":" << flag(world.servobot().hidden)
        << ",\"protected\":" << flag(world.servobot().isProtected()) << '}';
    out << ",\"signal\":{\"hidden\":" << flag(world.signal().hidden) << ",\"x\":" << world.signal().x
        << ",\"y\":" << world.signal().y << '}';
    out << ",\"block\":{\"ox\":" << formation.offsetX << ",\"oy\":" << formation.offsetY
        << ",\"vx\":" << formation.blockVelocity() << ",\"count\":" << formation.tiles.size() << '}';
    out << ",\"diving\":";
    if (const DigitTile* diving = formation.divingTile()) {
        out << "{\"x\":" << diving->x << ",\"y\":" << diving->y << ",\"digit\":" << diving->digit() << '}';
    } else {
        out << "null";
    }
    writeImpulse(out, "star", *formation.star);
    writeImpulse(out, "square", *formation.square);
    out << ",\"vaktor\":";
    writeArray(out, world.vaktorFigures(), [&](const VaktorFigure& figure) { out << figure.hitsLeft(); });
    out << ",\"codes\":";
    const int entries[] = {0, 1, 2, 3};
    writeArray(out, entries, [&](int entry) { out << world.codeStore().entry(entry); });
    out << ",\"cues\":";
    writeArray(out, facts.cues, [&](int cue) { out << cue; });
    out << ",\"drawn\":" << flag(facts.drawn);
    if (facts.newFormation) {
        out << ",\"tiles\":";
        writeArray(out, formation.tiles, [&](const std::unique_ptr<DigitTile>& tile) {
            out << '[' << tile->x << ',' << tile->y << ',' << tile->digit() << ']';
        });
    }
    out << '}';
    return out.str();
}
