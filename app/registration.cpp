#include "app/registration.h"

#include <cstdio>
#include <utility>

#include "net/answer_codes.h"

namespace {

// The address goes to the shell and on to the browser's command line: only
// unreserved characters and the at sign travel as they are, so no quote or
// other sign can break out of it or change its meaning.
bool travelsAsTyped(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '@';
}

RegistrationAction openPage(std::string page) { return {RegistrationAction::OpenPage, std::move(page)}; }
RegistrationAction act(RegistrationAction::Kind kind) { return {kind, {}}; }

}  // namespace

RegistrationActions actionsAfterSubmission(const SubmissionRecord& record, bool gameOver) {
    RegistrationActions actions;
    if (record.versionNumber > 3) {
        actions.push_back(openPage("/version.htm?gameid=" + std::to_string(record.versionNumber)));
        actions.push_back(act(RegistrationAction::EndDialog));
    }
    if (record.resultCode == answerNumber(AnswerCode::notSignedUp)) {
        actions.push_back(act(RegistrationAction::SayTryAgain));
        actions.push_back(openPage("/reg2.htm"));
    }
    if (record.resultCode == answerNumber(AnswerCode::wrongPassword)) {
        actions.push_back(act(RegistrationAction::SayTryAgain));
        actions.push_back(openPage(passwordPage(record.userName)));
    }
    if (record.resultCode == answerNumber(AnswerCode::accepted)) {
        actions.push_back(act(RegistrationAction::ResetBestScore));
        if (gameOver) actions.push_back(act(RegistrationAction::AskPlayAgain));
        actions.push_back(act(RegistrationAction::EndDialog));
    }
    if (record.resultCode < 0 || record.resultCode > answerNumber(AnswerCode::wrongPassword)) {
        actions.push_back(act(RegistrationAction::SayTryAgain));
        actions.push_back(act(RegistrationAction::ReportFailure));
    }
    return actions;
}

RegistrationActions actionsOnCancel(bool gameOver) {
    RegistrationActions actions;
    if (gameOver) actions.push_back(act(RegistrationAction::AskPlayAgain));
    actions.push_back(act(RegistrationAction::ResetFrameClock));
    actions.push_back(act(RegistrationAction::EndDialog));
    return actions;
}

RegistrationActions actionsOnNewUser() { return {openPage("/reg3.htm")}; }

std::string passwordPage(std::string_view userName) {
    std::string page = "/getpass.htm?mail=";
    for (char c : userName) {
        auto byte = static_cast<unsigned char>(c);
        if (!travelsAsTyped(byte)) {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
            page += escape;
        } else {
            page += c;
        }
    }
    return page;
}
