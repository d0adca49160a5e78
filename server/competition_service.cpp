#include "server/competition_service.h"

#include <ctime>

#include "net/submission_form.h"
#include "server/accounts.h"
#include "server/mail_address.h"
#include "server/play_time_bound.h"
#include "server/text_encoding.h"
#include "server/tokens.h"

namespace {

SubmissionAnswer answer(AnswerCode code, std::string text) { return {code, std::move(text)}; }

// What tells one form from another: the whole form as the game sends it,
// but for the password, which is not kept in any form.
std::string formKey(SubmissionForm form) {
    form.password.clear();
    return hexDigest(formBody(form));
}

}  // namespace

CompetitionService::CompetitionService(ConnectionPool& pool, ServiceSettings settings)
    : settings_(std::move(settings)),
      store_(pool),
      outbox_(settings_.outbox),
      attempts_(pool),
      confirmations_(pool),
      proofs_(pool, ProofSettings{zifraInvadersGameId, settings_.builds, settings_.clock}),
      contest_(pool, ContestSettings{settings_.site, settings_.clock, listed()},
               [this](const MailMessage& message, std::time_t time) { deliver(message, time); }),
      news_(pool, settings_.site, [this](const MailMessage& message, std::time_t time) { deliver(message, time); },
            settings_.clock),
      sessions_(pool, settings_.clock),
      accounts_(std::make_unique<Accounts>(
          pool, AccountSettings{settings_.site, settings_.clock},
          [this](const MailMessage& message, std::time_t time) { deliver(message, time); },
          [this](const std::string& emailKey, std::string_view password, const std::string& clientAddress) {
              return signIn(emailKey, password, clientAddress);
          },
          sessions_)),
      challenges_(pool, ChallengeSettings{settings_.site, settings_.webGame.has_value(), listed(), settings_.clock},
                  [this](const MailMessage& message, std::time_t time) { deliver(message, time); }) {}

CompetitionService::~CompetitionService() = default;

std::int64_t CompetitionService::now() const {
    return settings_.clock ? settings_.clock() : static_cast<std::int64_t>(std::time(nullptr));
}

SubmissionAnswer CompetitionService::submit(std::string_view body, const std::string& clientAddress) {
    auto unavailable = [] {
        return answer(AnswerCode::unavailable, "Tjänsten kan inte ta emot poäng just nu. Försök igen senare.");
    };
    try {
        return judge(body, clientAddress);
    } catch (const SqlError&) {
        return unavailable();
    } catch (const HashingBusy&) {
        return unavailable();
    }
}

SubmissionAnswer CompetitionService::judge(std::string_view body, const std::string& clientAddress) {
    ReadForm read = readFormBody(body);
    if (read.outcome == FormReading::malformed) return answer(AnswerCode::malformed, "Felaktigt formulär.");
    if (read.outcome == FormReading::inconsistent) {
        return answer(AnswerCode::refused, "Formulärets fält stämmer inte med varandra.");
    }
    const SubmissionForm& form = read.form;
    if (form.score < 0) return answer(AnswerCode::refused, "Poängen är inte giltig.");
    if (!contest_.store().game(form.gameId)) return answer(AnswerCode::refused, "Spelet är okänt.");
    if (settings_.builds && !settings_.builds->contains(form.checksum, form.byteCount)) {
        return answer(AnswerCode::refused, "Den här versionen av spelet är okänd.");
    }
    if (form.playTime > longestPlayTimeMs) {
        return answer(AnswerCode::refused, "Speltiden är inte möjlig.");
    }
    if (form.score > highestPlausibleScore(form.playTime)) {
        return answer(AnswerCode::refused, "Poängen är inte möjlig på den speltiden.");
    }

    SignIn player = signIn(nameKey(utf8FromCp1252(form.userName)), utf8FromCp1252(form.password), clientAddress);
    switch (player.outcome) {
        case SignIn::Outcome::unknown: return answer(AnswerCode::notSignedUp, "Användarnamnet är inte registrerat.");
        case SignIn::Outcome::backOff:
            return answer(AnswerCode::unavailable,
                          "För många fel lösenord. Försök igen om " + std::to_string(player.wait) + " sekunder.");
        case SignIn::Outcome::wrongPassword: return answer(AnswerCode::wrongPassword, "Fel lösenord.");
        case SignIn::Outcome::unconfirmed:
            return answer(AnswerCode::notSignedUp, "Bekräfta först din e-postadress med länken i brevet från Kvippa.");
        // Told only to whoever knows the password. Refused, not "not signed
        // up" or "wrong password": those send the game to pages that cannot help.
        case SignIn::Outcome::banned: return answer(AnswerCode::refused, "Kontot är avstängt från tävlingen.");
        case SignIn::Outcome::passed: break;
    }
    const std::optional<Account>& account = player.account;
    // A repeat of a stored form is answered as the first send was, so a
    // game that lost the first answer and sends again is told it is done.
    store_.addSubmission({account->id, form.gameId, form.score, form.playTime, form.speedCount,
                          utf8FromCp1252(form.processorText), form.checksum, form.byteCount, now(), formKey(form)});
    return answer(AnswerCode::accepted, "Poängen är registrerad.");
}

CompetitionService::SignIn CompetitionService::signIn(const std::string& emailKey, std::string_view password,
                                                     const std::string& clientAddress) {
    SignIn result;
    result.account = store_.accountByEmailKey(emailKey);
    if (!result.account) return result;
    std::int64_t id = result.account->id;
    AttemptLimits::Standing standing = attempts_.passwordStanding(id, clientAddress, now());
    if (standing.wait > 0) {
        result.outcome = SignIn::Outcome::backOff;
        result.wait = standing.wait;
        return result;
    }
    if (!passwords_.check(emailKey, password, result.account->passwordHash)) {
        attempts_.passwordFailed(id, clientAddress, now());
        result.outcome = SignIn::Outcome::wrongPassword;
        return result;
    }
    attempts_.passwordPassed(id, clientAddress, now(), standing);
    if (result.account->banned) {
        result.outcome = SignIn::Outcome::banned;
    } else {
        result.outcome = confirmations_.confirmed(id) ? SignIn::Outcome::passed : SignIn::Outcome::unconfirmed;
    }
    return result;
}

TicketRequest CompetitionService::requestTicket(std::string_view email, std::string_view password,
                                                const std::string& clientAddress) {
    using Asked = TicketRequest::Outcome;
    SignIn player = signIn(nameKey(trimmed(email)), password, clientAddress);
    switch (player.outcome) {
        case SignIn::Outcome::unknown:
        case SignIn::Outcome::wrongPassword: return {Asked::wrongLogin, {}, 0};
        case SignIn::Outcome::backOff: return {Asked::backOff, {}, player.wait};
        case SignIn::Outcome::unconfirmed: return {Asked::unconfirmed, {}, 0};
        case SignIn::Outcome::banned: return {Asked::banned, {}, 0};
        case SignIn::Outcome::passed: break;
    }
    return {Asked::issued, proofs_.issueTicket(player.account->id), 0};
}

Outcome outcomeOf(const TicketRequest& asked) {
    switch (asked.outcome) {
        case TicketRequest::Outcome::issued: return Outcome::done;
        case TicketRequest::Outcome::wrongLogin: return Outcome::wrongSignIn;
        case TicketRequest::Outcome::backOff: return Outcome::tooMany;
        case TicketRequest::Outcome::unconfirmed:
        case TicketRequest::Outcome::banned: return Outcome::forbidden;
    }
    return Outcome::wrongSignIn;
}

FormOutcome CompetitionService::signUp(const SignUpForm& form, const std::string& clientAddress) {
    std::vector<std::string> faults;
    std::string email = trimmed(form.email);
    checkEmail(email, faults);
    NicknameVerdict nickname = checkNickname(form.nickname, faults);
    checkPassword(form.password, form.repeated, faults);
    if (!faults.empty()) return FormOutcome::with(std::move(faults));
    if (!attempts_.takeSignUp(clientAddress, now(), settings_.signUpsPerAddress)) {
        return {Outcome::tooMany, {"Det har kommit många nya medlemmar från din adress. Försök igen om en timme."}};
    }

    std::string referrer = trimmed(form.referrer);
    if (referrer.empty()) referrer = challenges_.challenger(form.challenge).value_or("");
    NewAccount account{email,
                       nameKey(email),
                       nickname.shown,
                       nameKey(nickname.shown),
                       hashPassword(form.password),
                       now(),
                       nickname.skeleton,
                       form.news,
                       referrer.empty() ? "" : nameKey(referrer)};
    switch (store_.addAccount(account)) {
        case SignUpResult::created: {
            auto made = store_.accountByEmailKey(account.emailKey);
            if (!made) break;
            std::string token = newToken();
            confirmations_.add(tokenHash(token), made->id, now());
            deliver(confirmationMail(serviceSender(settings_.site), made->email, made->nickname,
                                     settings_.site + "/confirm.htm?token=" + token),
                    now());
            challenges_.joined(form.challenge, made->id);
            break;
        }
        case SignUpResult::emailTaken: {
            // Answered as a new sign-up is, so that the form tells nobody
            // which addresses have an account; the owner hears of it.
            auto owner = store_.accountByEmailKey(account.emailKey);
            if (owner && isOneMailbox(owner->email)) {
                deliver(takenAddressMail(serviceSender(settings_.site), owner->email, owner->nickname,
                                         settings_.site + "/getpass.htm"),
                        now());
            }
            break;
        }
        case SignUpResult::nicknameTaken: faults.push_back("Smeknamnet är redan upptaget."); break;
        case SignUpResult::referrerUnknown:
            faults.push_back("Ingen spelare har smeknamnet " + referrer + ". Skriv vännens smeknamn i topplistorna.");
            break;
    }
    return FormOutcome::with(std::move(faults));
}

void CompetitionService::requestPasswordReset(std::string_view email) {
    std::string address = trimmed(email);
    if (!isPrintableUtf8(address)) return;
    auto account = store_.accountByEmailKey(nameKey(address));
    std::int64_t time = now();
    // An address signed up before addresses were checked may be a list.
    if (!account || !isOneMailbox(account->email)) return;
    std::string token = newToken();
    if (!store_.addResetToken(tokenHash(token), account->id, time, time + resetLinkLifetime, time - resetLinkLifetime,
                              resetLinksPerLifetime)) {
        return;
    }
    MailMessage message;
    message.from = serviceSender(settings_.site);
    message.to = account->email;
    message.subject = "Nytt lösenord till Kvippa";
    message.body = "Hej " + account->nickname +
                   "!\n\n"
                   "Någon, förhoppningsvis du, har bett om ett nytt lösenord till Kvippa.\n"
                   "Välj ett nytt lösenord här inom en timme:\n\n" +
                   settings_.site + "/reset.htm?token=" + token +
                   "\n\n"
                   "Länken fungerar en gång. Har du inte bett om den kan du strunta i det här brevet.\n";
    deliver(message, time);
}

void CompetitionService::deliver(const MailMessage& message, std::int64_t time) {
    if (settings_.mail) return settings_.mail(message, static_cast<std::time_t>(time));
    outbox_.send(message, static_cast<std::time_t>(time));
}

Outcome CompetitionService::confirmLink(const std::string& token) {
    return confirmations_.works(tokenHash(token), now()) ? Outcome::done : Outcome::gone;
}

Outcome CompetitionService::confirmEmail(const std::string& token) {
    return confirmations_.confirm(tokenHash(token), now()) ? Outcome::done : Outcome::gone;
}

Outcome CompetitionService::resetLink(const std::string& token) {
    return store_.resetTokenAccount(tokenHash(token), now()) ? Outcome::done : Outcome::gone;
}

FormOutcome CompetitionService::resetPassword(const std::string& token, const std::string& password,
                                              const std::string& repeated) {
    std::vector<std::string> faults;
    checkPassword(password, repeated, faults);
    if (!faults.empty()) return FormOutcome::with(std::move(faults));
    auto account = store_.resetTokenAccount(tokenHash(token), now());
    if (!account || !store_.resetPassword(tokenHash(token), now(), hashPassword(password))) {
        return {Outcome::gone, {"Länken har redan använts eller är för gammal. Be om en ny."}};
    }
    // The link came to the address: that confirms it as well.
    confirmations_.confirmAccount(*account, now());
    return {};
}

Outcome CompetitionService::hasVersion(std::int64_t version) const {
    return version >= 1 && version <= settings_.version ? Outcome::done : Outcome::notFound;
}
