#include "server/account_rules.h"

#include "net/field_limits.h"
#include "server/mail_address.h"
#include "server/text_encoding.h"

void checkEmail(const std::string& email, std::vector<std::string>& faults) {
    auto emailInCodePage = cp1252FromUtf8(email);
    if (!emailInCodePage || !isPrintableUtf8(email)) {
        faults.push_back("E-postadressen får bara innehålla tecken som spelet kan skicka.");
    } else if (emailInCodePage->size() > maxUserNameLength || !isOneMailbox(email)) {
        faults.push_back("Ange din e-postadress, högst " + std::to_string(maxUserNameLength) + " tecken.");
    }
}

NicknameVerdict checkNickname(const std::string& nickname, std::vector<std::string>& faults) {
    NicknameVerdict verdict = examineNickname(nickname, maxNicknameCharacters);
    if (verdict.fault == NicknameFault::emptyOrLong) {
        faults.push_back("Ange ett smeknamn på högst " + std::to_string(maxNicknameCharacters) + " tecken.");
    } else if (verdict.fault == NicknameFault::deceptive) {
        faults.push_back(
            "Smeknamnet får inte ha osynliga tecken, tecken som vänder skrivriktningen eller "
            "staplade accenter.");
    }
    return verdict;
}

void checkPassword(const std::string& password, const std::string& repeated, std::vector<std::string>& faults) {
    auto inCodePage = cp1252FromUtf8(password);
    if (!inCodePage || !isPrintableUtf8(password)) {
        faults.push_back("Lösenordet får bara innehålla tecken som spelet kan skicka.");
    } else if (inCodePage->size() < minPasswordCharacters || inCodePage->size() > maxPasswordLength) {
        faults.push_back("Lösenordet ska ha " + std::to_string(minPasswordCharacters) + " till " +
                         std::to_string(maxPasswordLength) + " tecken.");
    }
    if (password != repeated) faults.push_back("Lösenorden är inte lika.");
}
