#include "game/replay.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint8_t, 4> magic = {'Z', 'R', 'P', 'L'};

std::uint8_t keyBits(const ReplayKeys& keys) {
    return static_cast<std::uint8_t>((keys.left ? leftBit : 0) | (keys.right ? rightBit : 0) |
                                     (keys.fire ? fireBit : 0));
}

class Writer {
public:
    void fixed(std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void varint(std::uint64_t value) {
        while (value >= 0x80) {
            out.push_back(static_cast<std::uint8_t>(value | 0x80));
            value >>= 7;
        }
        out.push_back(static_cast<std::uint8_t>(value));
    }
    std::vector<std::uint8_t> out;
};

// Reads what the writer wrote and nothing else: every read past the end, and
// every number in more bytes than it needs, fails the whole decoding.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool fixed(std::uint32_t& value, int bytes) {
        if (left() < static_cast<std::size_t>(bytes)) return false;
        value = 0;
        for (int i = 0; i < bytes; ++i) value |= std::uint32_t{bytes_[at_++]} << (8 * i);
        return true;
    }
    bool varint(std::uint64_t& value, std::uint64_t maximum) {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (left() == 0) return false;
            std::uint8_t byte = bytes_[at_++];
            std::uint64_t part = byte & 0x7Fu;
            if (shift == 63 && part > 1) return false;
            value |= part << shift;
            if (!(byte & 0x80)) return (shift == 0 || byte != 0) && value <= maximum;
        }
        return false;
    }
    bool take(std::size_t count, std::span<const std::uint8_t>& into) {
        if (left() < count) return false;
        into = bytes_.subspan(at_, count);
        at_ += count;
        return true;
    }
    std::size_t left() const { return bytes_.size() - at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

bool fail(std::string& error, std::string why) {
    error = std::move(why);
    return false;
}

}  // namespace

bool ticketIsValid(const std::string& ticket) {
    return ticket.size() <= maxTicketLength &&
           std::all_of(ticket.begin(), ticket.end(), [](char c) { return c > ' ' && c <= '~'; });
}

std::vector<std::uint8_t> encodeReplay(const Replay& replay) {
    Writer w;
    w.out.assign(magic.begin(), magic.end());
    w.fixed(replay.formatVersion, 2);
    w.fixed(replay.rulesVersion, 2);
    w.fixed(replay.buildChecksum, 4);
    w.fixed(replay.buildSize, 4);
    w.fixed(replay.seed, 4);
    w.varint(replay.ticket.size());
    w.out.insert(w.out.end(), replay.ticket.begin(), replay.ticket.end());
    w.varint(replay.frames);
    w.varint(replay.changes.size());
    std::uint32_t previous = 0;
    for (const KeyChange& change : replay.changes) {
        // The frame's distance from the change before and the keys in one number.
        w.varint(std::uint64_t{change.frame - previous} << 3 | keyBits(change.keys));
        previous = change.frame;
    }
    w.varint(replay.undrawnFrames.size());
    previous = 0;
    for (std::uint32_t frame : replay.undrawnFrames) {
        w.varint(frame - previous);
        previous = frame;
    }
    w.varint(replay.stateHashes.size());
    for (std::uint32_t hash : replay.stateHashes) w.fixed(hash, 4);
    return w.out;
}

bool replayIsWellFormed(const Replay& replay, const ReplayLimits& limits, std::string& error) {
    if (replay.formatVersion != replayFormatVersion) {
        return fail(error, "unknown format version " + std::to_string(replay.formatVersion));
    }
    if (!ticketIsValid(replay.ticket)) {
        return fail(error, "the ticket is not up to 64 printable characters");
    }
    if (replay.frames > limits.maxFrames) return fail(error, "more frames than a replay may have");
    ReplayKeys keys;
    for (std::size_t i = 0; i < replay.changes.size(); ++i) {
        const KeyChange& change = replay.changes[i];
        if (i > 0 && change.frame <= replay.changes[i - 1].frame) return fail(error, "key changes out of order");
        if (change.frame >= replay.frames) return fail(error, "a key change after the last frame");
        if (change.keys == keys) return fail(error, "a key change that changes nothing");
        if (change.keys.left && change.keys.right) return fail(error, "Left and Right at once");
        keys = change.keys;
    }
    for (std::size_t i = 0; i < replay.undrawnFrames.size(); ++i) {
        std::uint32_t frame = replay.undrawnFrames[i];
        if (i > 0 && frame <= replay.undrawnFrames[i - 1]) return fail(error, "undrawn frames out of order");
        if (frame + 1 >= replay.frames) return fail(error, "an undrawn frame not yet decided");
    }
    if (replay.stateHashes.size() != replay.frames / framesPerStateHash) {
        return fail(error, "the number of state hashes does not match the frames");
    }
    return true;
}

std::optional<Replay> decodeReplay(std::span<const std::uint8_t> bytes, const ReplayLimits& limits,
                                   std::string& error) {
    auto refuse = [&](std::string why) -> std::optional<Replay> {
        error = std::move(why);
        return std::nullopt;
    };
    if (bytes.size() > limits.maxBytes) return refuse("larger than a replay may be");
    Reader r(bytes);
    std::span<const std::uint8_t> head;
    if (!r.take(magic.size(), head) || !std::equal(head.begin(), head.end(), magic.begin())) {
        return refuse("not a replay");
    }
    Replay replay;
    std::uint32_t field = 0;
    if (!r.fixed(field, 2)) return refuse("truncated");
    replay.formatVersion = static_cast<std::uint16_t>(field);
    // Nothing after the version is read in a format this build does not know.
    if (replay.formatVersion != replayFormatVersion) return refuse("unknown format version " + std::to_string(field));
    if (!r.fixed(field, 2)) return refuse("truncated");
    replay.rulesVersion = static_cast<std::uint16_t>(field);
    if (!r.fixed(replay.buildChecksum, 4) || !r.fixed(replay.buildSize, 4) || !r.fixed(replay.seed, 4)) {
        return refuse("truncated");
    }

    std::uint64_t count = 0;
    std::span<const std::uint8_t> ticket;
    if (!r.varint(count, maxTicketLength) || !r.take(count, ticket)) return refuse("truncated or overlong ticket");
    replay.ticket.assign(ticket.begin(), ticket.end());

    std::uint64_t frames = 0;
    if (!r.varint(frames, limits.maxFrames)) return refuse("truncated, or more frames than a replay may have");
    replay.frames = static_cast<std::uint32_t>(frames);

    // Every entry takes at least a byte: a count larger than the bytes left is
    // refused before anything is allocated for it.
    if (!r.varint(count, r.left())) return refuse("truncated key changes");
    std::uint64_t frame = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t packed = 0;
        if (!r.varint(packed, std::uint64_t{limits.maxFrames} << 3 | 7)) return refuse("truncated key changes");
        frame += packed >> 3;
        if (frame >= replay.frames) return refuse("a key change after the last frame");
        auto bits = static_cast<std::uint8_t>(packed & 7);
        replay.changes.push_back({static_cast<std::uint32_t>(frame),
                                  {(bits & leftBit) != 0, (bits & rightBit) != 0, (bits & fireBit) != 0}});
    }

    if (!r.varint(count, r.left())) return refuse("truncated undrawn frames");
    frame = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t gap = 0;
        if (!r.varint(gap, limits.maxFrames)) return refuse("truncated undrawn frames");
        frame += gap;
        if (frame >= replay.frames) return refuse("an undrawn frame not yet decided");
        replay.undrawnFrames.push_back(static_cast<std::uint32_t>(frame));
    }

    if (!r.varint(count, r.left() / 4)) return refuse("truncated state hashes");
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint32_t hash = 0;
        if (!r.fixed(hash, 4)) return refuse("truncated state hashes");
        replay.stateHashes.push_back(hash);
    }
    if (r.left() != 0) return refuse("bytes after the end of the replay");
    if (!replayIsWellFormed(replay, limits, error)) return std::nullopt;
    return replay;
}
