#include "app/registration.h"

#include <cstdio>
#include <utility>

namespace {

bool needsEncoding(unsigned char c) {
    return c <= 0x20 || c >= 0x7F || c == '#' || c == '%' || c == '&' || c == '+' || c == '?';
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
    if (record.resultCode == 1) {
        actions.push_back(act(RegistrationAction::SayTryAgain));
        actions.push_back(openPage("/reg2.htm"));
    }
    if (record.resultCode == 2) {
        actions.push_back(act(RegistrationAction::SayTryAgain));
        actions.push_back(openPage(passwordPage(record.userName)));
    }
    if (record.resultCode == 0) {
        actions.push_back(act(RegistrationAction::ResetBestScore));
        if (gameOver) actions.push_back(act(RegistrationAction::AskPlayAgain));
        actions.push_back(act(RegistrationAction::EndDialog));
    }
    if (record.resultCode < 0 || record.resultCode > 2) {
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
        if (needsEncoding(byte)) {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
            page += escape;
        } else {
            page += c;
        }
    }
    return page;
}
