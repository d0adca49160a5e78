#include "server/competition_service.h"

#include <sodium.h>

#include <ctime>

#include "net/submission_form.h"
#include "server/play_time_bound.h"
#include "server/text_encoding.h"

namespace {

SubmissionAnswer answer(AnswerCode code, std::string text) { return {code, std::move(text)}; }

// The host of "http://host[:port]", an IPv6 address with its brackets.
std::string hostOf(std::string_view site) {
    std::size_t scheme = site.find("://");
    std::string_view rest = site.substr(scheme == std::string_view::npos ? 0 : scheme + 3);
    std::size_t end = !rest.empty() && rest.front() == '[' ? rest.find(']') + 1 : rest.find(':');
    return std::string(rest.substr(0, end));
}

std::string hexDigest(std::string_view text) {
    unsigned char digest[32];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                       nullptr, 0);
    char hex[2 * sizeof digest + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return hex;
}

// Tokens are kept only as their hash, so the table alone opens no account.
std::string tokenHash(const std::string& token) { return hexDigest(token); }

std::string newToken() {
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    char text[sodium_base64_ENCODED_LEN(sizeof bytes, sodium_base64_VARIANT_URLSAFE_NO_PADDING)];
    sodium_bin2base64(text, sizeof text, bytes, sizeof bytes, sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    return text;
}

// What tells one form from another: the whole form as the game sends it,
// but for the password, which is not kept in any form.
std::string formKey(SubmissionForm form) {
    form.password.clear();
    return hexDigest(formBody(form));
}

// The password's faults: length, the game's code page, the repetition.
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

}  // namespace

const Game* findGame(std::int32_t id) {
    for (const Game& game : knownGames) {
        if (game.id == id) return &game;
    }
    return nullptr;
}

CompetitionService::CompetitionService(ConnectionPool& pool, ServiceSettings settings)
    : settings_(std::move(settings)),
      store_(pool),
      outbox_(settings_.outbox),
      proofs_(pool, ProofSettings{knownGames[0].id, settings_.builds, settings_.clock}, passwords_) {}

std::int64_t CompetitionService::now() const {
    return settings_.clock ? settings_.clock() : static_cast<std::int64_t>(std::time(nullptr));
}

SubmissionAnswer CompetitionService::submit(std::string_view body) {
    auto unavailable = [] {
        return answer(AnswerCode::unavailable, "Tjänsten kan inte ta emot poäng just nu. Försök igen senare.");
    };
    try {
        return judge(body);
    } catch (const SqlError&) {
        return unavailable();
    } catch (const HashingBusy&) {
        return unavailable();
    }
}

SubmissionAnswer CompetitionService::judge(std::string_view body) {
    ReadForm read = readFormBody(body);
    if (read.outcome == FormReading::malformed) return answer(AnswerCode::malformed, "Felaktigt formulär.");
    if (read.outcome == FormReading::inconsistent) {
        return answer(AnswerCode::refused, "Formulärets fält stämmer inte med varandra.");
    }
    const SubmissionForm& form = read.form;
    if (form.score < 0) return answer(AnswerCode::refused, "Poängen är inte giltig.");
    if (!findGame(form.gameId)) return answer(AnswerCode::refused, "Spelet är okänt.");
    if (settings_.builds && !settings_.builds->contains(form.checksum, form.byteCount)) {
        return answer(AnswerCode::refused, "Den här versionen av spelet är okänd.");
    }
    if (form.playTime > longestPlayTimeMs) {
        return answer(AnswerCode::refused, "Speltiden är inte möjlig.");
    }
    if (form.score > highestPlausibleScore(form.playTime)) {
        return answer(AnswerCode::refused, "Poängen är inte möjlig på den speltiden.");
    }

    std::string key = nameKey(utf8FromCp1252(form.userName));
    auto account = store_.accountByEmailKey(key);
    if (!account) return answer(AnswerCode::notSignedUp, "Användarnamnet är inte registrerat.");
    if (!passwords_.check(key, utf8FromCp1252(form.password), account->passwordHash)) {
        return answer(AnswerCode::wrongPassword, "Fel lösenord.");
    }
    // A repeat of a stored form is answered as the first send was, so a
    // game that lost the first answer and sends again is told it is done.
    store_.addSubmission({account->id, form.gameId, form.score, form.playTime, form.speedCount,
                          utf8FromCp1252(form.processorText), form.checksum, form.byteCount, now(), formKey(form)});
    return answer(AnswerCode::accepted, "Poängen är registrerad.");
}

std::vector<std::string> CompetitionService::signUp(const SignUpForm& form) {
    std::vector<std::string> faults;
    std::string email = trimmed(form.email), nickname = trimmed(form.nickname);
    auto emailInCodePage = cp1252FromUtf8(email);
    std::size_t at = email.find('@');
    if (!emailInCodePage || !isPrintableUtf8(email)) {
        faults.push_back("E-postadressen får bara innehålla tecken som spelet kan skicka.");
    } else if (emailInCodePage->size() > maxUserNameLength || at == std::string::npos || at == 0 ||
               at + 1 == email.size()) {
        faults.push_back("Ange din e-postadress, högst " + std::to_string(maxUserNameLength) + " tecken.");
    }
    if (nickname.empty() || !isPrintableUtf8(nickname) || characterCount(nickname) > maxNicknameCharacters) {
        faults.push_back("Ange ett smeknamn på högst " + std::to_string(maxNicknameCharacters) + " tecken.");
    }
    checkPassword(form.password, form.repeated, faults);
    if (!faults.empty()) return faults;

    NewAccount account{email, nameKey(email), nickname, nameKey(nickname), hashPassword(form.password), now()};
    switch (store_.addAccount(account)) {
        case SignUpResult::created: break;
        case SignUpResult::emailTaken: faults.push_back("Det finns redan en användare med den e-postadressen."); break;
        case SignUpResult::nicknameTaken: faults.push_back("Smeknamnet är redan upptaget."); break;
    }
    return faults;
}

void CompetitionService::requestPasswordReset(std::string_view email) {
    std::string address = trimmed(email);
    if (!isPrintableUtf8(address)) return;
    auto account = store_.accountByEmailKey(nameKey(address));
    std::int64_t time = now();
    if (!account) return;
    std::string token = newToken();
    if (!store_.addResetToken(tokenHash(token), account->id, time, time + resetLinkLifetime, time - resetLinkLifetime,
                              resetLinksPerLifetime)) {
        return;
    }
    MailMessage message;
    message.from = "Kvippa <noreply@" + hostOf(settings_.site) + ">";
    message.to = account->email;
    message.subject = "Nytt lösenord till Kvippa";
    message.body = "Hej " + account->nickname +
                   "!\n\n"
                   "Någon, förhoppningsvis du, har bett om ett nytt lösenord till Kvippa.\n"
                   "Välj ett nytt lösenord här inom en timme:\n\n" +
                   settings_.site + "/reset.htm?token=" + token +
                   "\n\n"
                   "Länken fungerar en gång. Har du inte bett om den kan du strunta i det här brevet.\n";
    outbox_.send(message, static_cast<std::time_t>(time));
}

bool CompetitionService::resetLinkWorks(const std::string& token) {
    return store_.resetTokenAccount(tokenHash(token), now()).has_value();
}

std::vector<std::string> CompetitionService::resetPassword(const std::string& token, const std::string& password,
                                                           const std::string& repeated) {
    std::vector<std::string> faults;
    checkPassword(password, repeated, faults);
    if (!faults.empty()) return faults;
    if (!store_.resetPassword(tokenHash(token), now(), hashPassword(password))) {
        faults.push_back("Länken har redan använts eller är för gammal. Be om en ny.");
    }
    return faults;
}
