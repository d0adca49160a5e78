// What the page's JavaScript calls: the one WebShell of the page, reached
// through plain C functions. Texts go both ways as UTF-8 with a terminating
// zero; a text handed back stays valid until the next call that returns one.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/palette_colours.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "game/world.h"
#include "shells/web/web_shell.h"
#include "tools/sim/trace_line.h"

namespace {

std::unique_ptr<WebShell> shell;
std::string answerText;
std::uint8_t paletteRgba[256 * 4];
std::vector<std::uint8_t> replayBytes;

// The seed of a world the player plays for himself: the calendar second, as
// the Windows game's.
SeedSource ownSeeds() { return calendarSeed; }

const char* handBack(std::string text) {
    answerText = std::move(text);
    return answerText.c_str();
}

std::uint32_t clock(double now) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now)); }

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void zifra_start(double now) { shell = std::make_unique<WebShell>(clock(now), ownSeeds()); }

EMSCRIPTEN_KEEPALIVE int zifra_running() { return shell && shell->program().running() ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE int zifra_step(double now) { return static_cast<int>(shell->step(clock(now))); }
EMSCRIPTEN_KEEPALIVE int zifra_frame_ran() { return shell->frameRan() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int zifra_drawn() { return shell->drawn() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int zifra_cue_count() { return static_cast<int>(shell->cues().size()); }
EMSCRIPTEN_KEEPALIVE const int* zifra_cues() { return shell->cues().data(); }
EMSCRIPTEN_KEEPALIVE double zifra_due_time() { return shell->dueTime(); }
EMSCRIPTEN_KEEPALIVE const char* zifra_details() { return shell->details().c_str(); }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* zifra_screen() { return shell->screen().pixels; }

// The game's colours from bitmap resource 150 as 256 RGBA quadruples; black
// without it.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* zifra_palette() {
    auto bytes = platform::resourceBytes(platform::ResourceType::Bitmap, IDB_PALETTE);
    PaletteColours colours = bytes ? readPaletteColours(*bytes) : PaletteColours{};
    for (int i = 0; i < 256; ++i) {
        paletteRgba[4 * i] = colours[i].red;
        paletteRgba[4 * i + 1] = colours[i].green;
        paletteRgba[4 * i + 2] = colours[i].blue;
        paletteRgba[4 * i + 3] = 255;
    }
    return paletteRgba;
}

// The bytes of WAVE resource `id` (0 of them when there is none).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* zifra_wave(int id) {
    auto bytes = platform::resourceBytes(platform::ResourceType::Wave, id);
    return bytes ? bytes->data() : nullptr;
}
EMSCRIPTEN_KEEPALIVE int zifra_wave_size(int id) {
    auto bytes = platform::resourceBytes(platform::ResourceType::Wave, id);
    return bytes ? static_cast<int>(bytes->size()) : 0;
}

// key: the GameKey's number.
EMSCRIPTEN_KEEPALIVE void zifra_key(int key, int down) {
    shell->program().keyEvent({static_cast<GameKey>(key), down != 0});
}
EMSCRIPTEN_KEEPALIVE void zifra_window_active(int active, double now) {
    shell->program().windowActivated(active != 0, clock(now));
}
EMSCRIPTEN_KEEPALIVE void zifra_window_minimised(int minimised, double now) {
    shell->program().windowMinimised(minimised != 0, clock(now));
}
EMSCRIPTEN_KEEPALIVE void zifra_modal_loop_ended(double now) { shell->program().modalLoopEnded(clock(now)); }
EMSCRIPTEN_KEEPALIVE int zifra_menu_command(int id) { return static_cast<int>(shell->menuCommand(id)); }
EMSCRIPTEN_KEEPALIVE void zifra_answer_prompt(int yes, double now) { shell->program().answerPrompt(yes != 0, clock(now)); }
EMSCRIPTEN_KEEPALIVE void zifra_close_information(double now) { shell->program().closeInformation(clock(now)); }

EMSCRIPTEN_KEEPALIVE const char* zifra_registration_opened() { return handBack(shell->registrationOpened()); }
EMSCRIPTEN_KEEPALIVE const char* zifra_registration_ok(const char* userName, const char* password) {
    return handBack(shell->registrationOk(userName, password));
}
// answered: the server's 2xx answer is `bytes` (code page 1252, as sent);
// otherwise `code` and the page's ASCII text in `bytes` say why there is none.
EMSCRIPTEN_KEEPALIVE const char* zifra_registration_answered(int answered, int code, const char* bytes, int length,
                                                             double now) {
    platform::HttpAnswer answer{answered != 0, code, std::string(bytes, static_cast<std::size_t>(length))};
    return handBack(shell->registrationAnswered(std::move(answer), clock(now)));
}
EMSCRIPTEN_KEEPALIVE const char* zifra_registration_cancelled(double now) {
    return handBack(shell->registrationCancelled(clock(now)));
}
EMSCRIPTEN_KEEPALIVE const char* zifra_registration_new_user() { return handBack(shell->registrationNewUser()); }

// The page's game as zifra-sim's trace line tells it (tick -1, no cues):
// what the tests read of it.
EMSCRIPTEN_KEEPALIVE const char* zifra_trace_now() {
    return handBack(traceLine(*shell->program().theSession->world, TickFacts{-1, false, {}, false}));
}

EMSCRIPTEN_KEEPALIVE int zifra_ticket_wanted() { return shell->wantsTicket() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE const char* zifra_ticket_request() { return handBack(shell->ticketRequest()); }
EMSCRIPTEN_KEEPALIVE void zifra_take_ticket(double seed, const char* ticket) {
    shell->takeTicket(static_cast<std::uint32_t>(seed), ticket);
}
EMSCRIPTEN_KEEPALIVE void zifra_ticket_refused() { shell->ticketRefused(); }
EMSCRIPTEN_KEEPALIVE void zifra_tickets_unavailable() { shell->ticketsUnavailable(); }

// The replay to send for proof: its length (0: none), its bytes at
// zifra_replay_bytes() until the next call.
EMSCRIPTEN_KEEPALIVE int zifra_replay_to_verify() {
    replayBytes = shell->replayToVerify();
    return static_cast<int>(replayBytes.size());
}
EMSCRIPTEN_KEEPALIVE const std::uint8_t* zifra_replay_bytes() { return replayBytes.data(); }

EMSCRIPTEN_KEEPALIVE void zifra_take_module_bytes(const std::uint8_t* bytes, int length) {
    shell->takeModuleBytes({bytes, static_cast<std::size_t>(length)});
}

}  // extern "C"
