#pragma once
// The browser shell's half in the module: the program, stepped by the page's
// JavaScript (page/), with what the page must show, play and do next kept
// where the page can read it. Nothing here waits: a post is handed to the
// page, and its answer comes back later.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "net/submission_body.h"

// What the page must do after a step; the numbers are the page's too.
enum class PageRequest : int {
    none = 0,
    wait = 1,          // step again at dueTime()
    held = 2,          // step again after the window's news
    prompt = 3,        // details: {"title", "question"}
    information = 4,   // details: {"text"}
    registration = 5,  // then registrationOpened()
    address = 6,       // details: {"address"}, relative to the page when on its own site
    quit = 7,
};

class WebShell {
public:
    // The program at `now`; every world is seeded from a ticket fetched
    // ahead, else from `ownSeeds`.
    WebShell(std::uint32_t now, SeedSource ownSeeds);

    // One step at `now` after the key events since the last one. Afterwards
    // frameRan(), drawn(), the cues to play in order, and the request.
    PageRequest step(std::uint32_t now);
    bool frameRan() const { return frameRan_; }
    bool drawn() const { return drawn_; }
    const std::vector<int>& cues() const { return cues_; }
    std::uint32_t dueTime() const { return dueTime_; }
    // The request's details as a JSON object.
    const std::string& details() const { return details_; }
    // The 400 x 300 palette indices of the current world's screen.
    const Image& screen() const;

    Program& program() { return program_; }

    // A menu command: none, or an address or the end to carry out at once.
    PageRequest menuCommand(int commandId);

    // The registration dialog, as JSON objects for the page: its caption,
    // fields and where the typing starts when it opens; what OK does with
    // the typed fields (a refusal to tell, nothing, or the body to post
    // with the OK button's new text); what the answer, Avbryt and "Ny
    // användare" do (a list of actions).
    std::string registrationOpened();
    std::string registrationOk(std::string_view userName, std::string_view password);
    std::string registrationAnswered(platform::HttpAnswer answer, std::uint32_t now);
    std::string registrationCancelled(std::uint32_t now);
    std::string registrationNewUser() const;

    // What goes with a score from this build: the module's own checksum and
    // length once the page has handed over its bytes.
    void takeModuleBytes(std::span<const std::uint8_t> bytes);

    // Verified scores. Once the player has given the registration dialog an
    // address and a password, the page fetches a ticket ahead for the next
    // game, so a new game never waits on the network: the seed source takes
    // the ticket held, else the calendar second as the Windows game does.
    // The service may refuse the address and password (asked again only
    // once they change) or give no tickets at all (never asked again).
    bool wantsTicket() const;
    // {"email", "password"} as the player typed them, in UTF-8.
    std::string ticketRequest() const;
    // A ticket that is no valid ticket is not taken.
    void takeTicket(std::uint32_t seed, std::string ticket);
    void ticketRefused();
    void ticketsUnavailable() { ticketsUnavailable_ = true; }
    // The best score's replay to send for proof when its world played on a
    // ticket not sent before, marked with this build's checksum and length;
    // empty otherwise.
    std::vector<std::uint8_t> replayToVerify();

private:
    GameSeed nextSeed();
    PageRequest carryOut(const Request& request);
    std::string actionsJson(const RegistrationActions& actions) const;

    // First: the program asks for its first world's seed while it is built.
    std::optional<GameSeed> ticket_;
    bool ticketsUnavailable_ = false;
    std::string refusedCredentials_;
    std::string sentTicket_;
    SeedSource ownSeeds_;
    Program program_;
    bool frameRan_ = false;
    bool drawn_ = false;
    std::vector<int> cues_;
    std::uint32_t dueTime_ = 0;
    std::string details_ = "{}";
    SubmissionFacts facts_;
};

// The processor text that the browser build sends: no processor is named
// to a page, so it names the build instead.
inline constexpr const char* webProcessorText = "WASM32 BROWSER";

// `address` as the page opens it: on the competition site (which served the
// page) its path and query alone, elsewhere as it stands.
std::string pageAddress(const std::string& address);
