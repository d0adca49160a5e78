#include "app/program.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

#include "game/world.h"

namespace {

// The dialogs of a pass in the main loop's fixed order, by the session flag
// that asks for each.
constexpr bool GameSession::*dialogFlags[] = {
    &GameSession::askSendHighScore,
    &GameSession::showRegistration,
    &GameSession::askPlayAgain,
    &GameSession::showInformation,
};

}  // namespace

Program::Program(std::uint32_t now, SeedSource seeds)
    : theSession(new (std::nothrow) GameSession(now, std::move(seeds), keyLatches, scoreIntegrityFlag)),
      bestScore(scoreIntegrityFlag, 0) {}

void Program::quit() {
    theSession.reset();
    endPass();
}

void Program::endPass() {
    passBegun_ = false;
    nextDialog_ = 0;
    dialogOpen_ = false;
    tickBegun_ = false;
}

Step Program::step(std::uint32_t now, std::span<const KeyEvent> keys) {
    if (!theSession) {
        std::fprintf(stderr, "Program::step called after quit\n");
        std::abort();
    }
    Step done = passStep(now, keys);
    done.cues = std::exchange(theSession->cues, {});
    return done;
}

Step Program::passStep(std::uint32_t now, std::span<const KeyEvent> keys) {
    for (const KeyEvent& event : keys) keyEvent(event);
    GameSession& session = *theSession;
    if (newGameHeld_) session.restartRequested = true;
    const Image& screen = session.world->screen();
    if (held()) return {screen, false, false, WaitWhileHeld{}, {}};

    // The shell has carried out the dialog handed out last (a shell that
    // reports no end of it, nor an answer, ends it so).
    dialogEnded();
    if (!passBegun_) {
        gameOverBookkeeping(now);
        passBegun_ = true;
    }
    if (auto dialog = nextDialog()) return {screen, false, false, std::move(dialog), {}};

    // The frame's tick begins with the first step that reaches it (as the
    // frame clock reckons it); whether that was before the frame was due
    // decides whether it is drawn.
    if (!tickBegun_) {
        session.frameClock.beginTick(now);
        tickBegun_ = true;
    }
    if (!session.frameClock.isDue(now)) return {screen, false, false, WaitUntil{session.frameClock.dueTime()}, {}};

    if (session.restartRequested && bestInCurrentWorld_) {
        // The tick replaces the world in which the best score was taken.
        bestOfEarlierWorld_ = session.world->replay();
        bestInCurrentWorld_ = false;
    }
    session.tick(now);
    endPass();
    bestScoreBookkeeping(now);
    if (session.quitRequested) return {session.world->screen(), true, session.lastFrameDrawn, QuitProgram{}, {}};
    return {session.world->screen(), true, session.lastFrameDrawn, std::nullopt, {}};
}

void Program::dialogEnded() {
    // At its end, not at the next step that plays: a step held back by the
    // window's absence would clear the flag that a menu pick set meanwhile.
    if (!dialogOpen_ || !theSession) return;
    theSession.get()->*dialogFlags[nextDialog_ - 1] = false;
    dialogOpen_ = false;
}

std::optional<Request> Program::nextDialog() {
    GameSession& session = *theSession;
    while (nextDialog_ < std::size(dialogFlags)) {
        bool GameSession::*flag = dialogFlags[nextDialog_++];
        if (!(session.*flag)) continue;
        dialogOpen_ = true;
        if (flag == &GameSession::showRegistration) return ShowRegistration{};
        if (flag == &GameSession::showInformation) return ShowInformation{infoTextIndex};
        return ShowPrompt{*promptText(session)};
    }
    return std::nullopt;
}

void Program::keyEvent(const KeyEvent& event) {
    KeyLatches& l = keyLatches;
    switch (event.key) {
    case GameKey::left: (event.down ? l.leftPressed : l.leftReleased) = true; break;
    case GameKey::right: (event.down ? l.rightPressed : l.rightReleased) = true; break;
    case GameKey::up: (event.down ? l.upPressed : l.upReleased) = true; break;
    case GameKey::down: (event.down ? l.downPressed : l.downReleased) = true; break;
    case GameKey::fire: (event.down ? l.firePressed : l.fireReleased) = true; break;
    case GameKey::newGame:
        newGameHeld_ = event.down;
        if (event.down && theSession) theSession->restartRequested = true;
        break;
    }
}

void Program::takeBestScorePlayTime(std::uint32_t now) {
    bestScorePlayTime = now - theSession->frameClock.startTime;
    bestScoreIntegrityFlag = scoreIntegrityFlag;
}

void Program::gameOverBookkeeping(std::uint32_t now) {
    GameSession& session = *theSession;
    if (!session.gameOver) return;
    if (bestScore.value() > offeredScore) {
        offeredScore = bestScore.value();
        takeBestScorePlayTime(now);
        session.askSendHighScore = true;
    } else {
        session.askPlayAgain = true;
    }
}

void Program::bestScoreBookkeeping(std::uint32_t now) {
    std::int32_t current = theSession->world->score().value();
    if (current <= bestScore.value()) return;
    bestScore.setValue(current);
    takeBestScorePlayTime(now);
    bestInCurrentWorld_ = true;
    bestOfEarlierWorld_.reset();
}

const Replay* Program::bestScoreReplay() const {
    if (bestInCurrentWorld_ && theSession) return &theSession->world->replay();
    return bestOfEarlierWorld_ ? &*bestOfEarlierWorld_ : nullptr;
}

void Program::resetFrameClock(std::uint32_t now) {
    if (theSession) theSession->frameClock.reset(now);
}

void Program::answerPrompt(bool yes, std::uint32_t now) {
    if (!theSession) return;
    if (yes) {
        answerPromptYes(*theSession, now);
    } else {
        answerPromptNo(*theSession);
    }
    // After the answer, which reads the question's flags.
    dialogEnded();
}

void Program::closeInformation(std::uint32_t now) {
    dialogEnded();
    resetFrameClock(now);
}

bool Program::prepareSubmission(std::string userName, std::string password) {
    theSubmission.userName = std::move(userName);
    theSubmission.password = std::move(password);
    if (theSubmission.userName.empty() || theSubmission.password.empty()) return false;
    // Reading the guarded value first lets its check raise scoreIntegrityFlag.
    theSubmission.score = bestScore.value();
    theSubmission.integrityFlag = bestScoreIntegrityFlag;
    theSubmission.playTime = bestScorePlayTime;
    if (scoreIntegrityFlag) theSubmission.integrityFlag = true;
    return true;
}

RegistrationActions Program::carryOutOwnPart(const RegistrationActions& actions, std::uint32_t now) {
    RegistrationActions dialogs;
    for (const RegistrationAction& action : actions) {
        switch (action.kind) {
        case RegistrationAction::ResetBestScore:
            bestScore.setValue(0);
            bestInCurrentWorld_ = false;
            bestOfEarlierWorld_.reset();
            break;
        case RegistrationAction::AskPlayAgain:
            if (theSession) theSession->askPlayAgain = true;
            break;
        case RegistrationAction::ResetFrameClock: resetFrameClock(now); break;
        case RegistrationAction::EndDialog:
            dialogEnded();
            dialogs.push_back(action);
            break;
        default: dialogs.push_back(action); break;
        }
    }
    return dialogs;
}

RegistrationActions Program::registrationSubmitted(std::uint32_t now) {
    bool gameOver = theSession && theSession->gameOver;
    return carryOutOwnPart(actionsAfterSubmission(theSubmission, gameOver), now);
}

RegistrationActions Program::registrationCancelled(std::uint32_t now) {
    bool gameOver = theSession && theSession->gameOver;
    return carryOutOwnPart(actionsOnCancel(gameOver), now);
}
