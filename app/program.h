#pragma once
// Program: the game as a value that a shell drives. It owns the session and
// its worlds, the keys' latches, the run's best-score bookkeeping, the
// submission record and the main loop's order of business; it never reads a
// clock, waits or draws to a device. A shell turns its events into key events
// and calls, steps the program, shows the screen it gives back, and carries
// out its requests (dialogs, web pages, the end, waiting for the next frame).
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/game_key.h"
#include "app/game_seed.h"
#include "app/registration.h"
#include "app/request.h"
#include "game/game_session.h"
#include "game/guarded_value.h"
#include "game/key_latches.h"
#include "game/replay.h"
#include "gfx/image.h"
#include "net/submission_record.h"

// What one step gives back.
struct Step {
    // The picture to show: the current world's 400 x 300 screen.
    const Image& screen;
    // A frame ran in this step (the main loop's pass is complete)...
    bool frameRan = false;
    // ...and was drawn into `screen`, being on time: show it.
    bool drawn = false;
    // What the shell must do before the next step.
    std::optional<Request> request;
    // The sound cues (wave resource ids) that the game started since the
    // step before, in order, for the shell to play in that order; the first
    // step also carries the first world's opening music.
    std::vector<int> cues;
};

class Program {
public:
    // Start-up at `now`: the session and its first world (which starts the
    // opening music), the best score 0 and the submission record's start
    // values. Every world is seeded from `seeds`.
    Program(std::uint32_t now, SeedSource seeds);

    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // One step of the main loop at `now` (the millisecond clock), after the
    // keys that went down or up since the last step (F1 still held asks for
    // a new game again). A pass of the main loop is a run of steps: game-over
    // bookkeeping, then each dialog the session asks for in the fixed order
    // send-high-score question, registration, play-again question,
    // information (one request per step; a dialog's flag is cleared when it
    // ends, or at the latest at the next step), then a wait until the frame is due, then the frame
    // itself, the best score and a requested end. Call only while running().
    Step step(std::uint32_t now, std::span<const KeyEvent> keys);

    bool running() const { return theSession != nullptr; }
    // Ends the session and its world; from now on there is nothing to step.
    void quit();

    // A key going down or coming up, as the shell reads it (step applies its
    // keys the same way). F1 down asks for a new game at once; while it is
    // held, every step asks again, so each pass of the main loop starts one.
    void keyEvent(const KeyEvent& event);

    // The main window as the player sees it, from the shell's news. While it
    // is minimised or not the active window the game is held: nothing is
    // played unseen, and step asks the shell to wait for the window's news.
    // Being held releases every key, since their key-ups go elsewhere now;
    // coming back restarts the frame clock, so the time away is not caught up.
    void windowActivated(bool active, std::uint32_t now);
    void windowMinimised(bool minimised, std::uint32_t now);
    bool held() const { return !windowActive_ || windowMinimised_; }

    // A modal loop of the shell has ended at `now`: a dialog, whatever its
    // answer, the menu, a move of the window. The game stood still meanwhile:
    // that time is not caught up, and the keys are released.
    void modalLoopEnded(std::uint32_t now);

    // A command of the main window's menu (the menu resource's item ids):
    // flags that the next steps act on, or a request to carry out at once
    // (a web page, the end). Unknown ids, and any id after quit, do nothing.
    std::optional<Request> menuCommand(int commandId);

    // The prompt's answer: "Ja" or "Nej" (also Escape and the close box).
    void answerPrompt(bool yes, std::uint32_t now);
    // The information dialog's OK.
    void closeInformation(std::uint32_t now);

    // The registration dialog. Its OK with the fields as typed (cut to their
    // lengths) fills the record from the best score, false (and nothing
    // more) when either field is empty; the shell then sends the record with
    // submitScore and asks registrationSubmitted what the dialog does next.
    // The program carries out its own part of the answers (the best score,
    // the play-again question, the frame clock) and hands back the dialog's:
    // pages to open, "Försök igen" on the OK button, the dialog's end.
    bool prepareSubmission(std::string userName, std::string password);
    RegistrationActions registrationSubmitted(std::uint32_t now);
    RegistrationActions registrationCancelled(std::uint32_t now);

    // What the original kept program-wide, under the same names. The
    // integrity flag and the latches come first: the session and the best
    // score refer to them.
    bool scoreIntegrityFlag = false;
    KeyLatches keyLatches;
    std::unique_ptr<GameSession> theSession;
    // Best score of this program run; never drawn.
    GuardedValue bestScore;
    // Play time (ms, dialogs excluded) at which bestScore was last taken.
    std::uint32_t bestScorePlayTime = 0;
    // bestScore's value when the send-high-score question was last raised.
    std::int32_t offeredScore = 0;
    // scoreIntegrityFlag as it stood when bestScorePlayTime was taken.
    bool bestScoreIntegrityFlag = false;
    // Which information text the next information dialog shows.
    int infoTextIndex = 0;
    SubmissionRecord theSubmission;

    // The replay of the world in which bestScore was taken (up to now, if
    // that world still plays); none while the best score is 0. Valid until
    // the next step.
    const Replay* bestScoreReplay() const;

private:
    Step passStep(std::uint32_t now, std::span<const KeyEvent> keys);
    void holdChanged(bool wasHeld, std::uint32_t now);
    void releaseKeys();
    void gameOverBookkeeping(std::uint32_t now);
    void bestScoreBookkeeping(std::uint32_t now);
    void takeBestScorePlayTime(std::uint32_t now);
    std::optional<Request> nextDialog();
    void resetFrameClock(std::uint32_t now);
    void dialogEnded();
    RegistrationActions carryOutOwnPart(const RegistrationActions& actions, std::uint32_t now);

    // Where the current pass stands; all back to the start once it ends.
    void endPass();
    bool passBegun_ = false;
    std::size_t nextDialog_ = 0;
    bool dialogOpen_ = false;
    bool tickBegun_ = false;

    // The best score was taken in the current world...
    bool bestInCurrentWorld_ = false;
    // ...or in this one, since replaced.
    std::optional<Replay> bestOfEarlierWorld_;

    // F1 is down (between its key-down and its key-up).
    bool newGameHeld_ = false;
    // The main window's state; a shell without one never reports it.
    bool windowActive_ = true;
    bool windowMinimised_ = false;
};
