#include "shells/web/web_shell.h"

#include <utility>
#include <variant>

#include "app/information_texts.h"
#include "app/registration_fields.h"
#include "app/registration_messages.h"
#include "app/web_addresses.h"
#include "game/replay.h"
#include "game/world.h"
#include "net/build_checksum.h"
#include "shells/web/text_bridge.h"

namespace {

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

std::string field(const char* name, std::string_view utf8) { return std::string("\"") + name + "\":" + jsonString(utf8); }

const char* fieldName(RegistrationField which) { return which == RegistrationField::userName ? "userName" : "password"; }

std::string messageJson(const PlayerMessage& message) {
    return "{" + field("caption", utf8FromUtf16(message.caption)) + "," + field("text", utf8FromUtf16(message.text)) +
           "}";
}

}  // namespace

std::string pageAddress(const std::string& address) {
    std::string site = competitionAddress("");
    if (address.rfind(site + "/", 0) == 0) return address.substr(site.size());
    return address;
}

WebShell::WebShell(std::uint32_t now, SeedSource ownSeeds)
    : ownSeeds_(std::move(ownSeeds)), program_(now, [this] { return nextSeed(); }) {
    facts_.processorText = webProcessorText;
}

GameSeed WebShell::nextSeed() {
    if (!ticket_) return ownSeeds_();
    GameSeed seed = std::move(*ticket_);
    ticket_.reset();
    return seed;
}

namespace {

// The address and the password as the service is to hear them together.
std::string credentials(const SubmissionRecord& record) { return record.userName + '\n' + record.password; }

}  // namespace

bool WebShell::wantsTicket() const {
    const SubmissionRecord& record = program_.theSubmission;
    return !ticket_ && !ticketsUnavailable_ && !record.userName.empty() && !record.password.empty() &&
           credentials(record) != refusedCredentials_;
}

std::string WebShell::ticketRequest() const {
    const SubmissionRecord& record = program_.theSubmission;
    return "{" + field("email", utf8FromCodePage1252(record.userName)) + "," +
           field("password", utf8FromCodePage1252(record.password)) + "}";
}

void WebShell::takeTicket(std::uint32_t seed, std::string ticket) {
    if (ticket.empty() || !ticketIsValid(ticket)) return;
    ticket_ = GameSeed{seed, std::move(ticket)};
}

void WebShell::ticketRefused() { refusedCredentials_ = credentials(program_.theSubmission); }

std::vector<std::uint8_t> WebShell::replayToVerify() {
    const Replay* best = program_.bestScoreReplay();
    if (!best || best->ticket.empty() || best->ticket == sentTicket_) return {};
    Replay replay = *best;
    replay.buildChecksum = facts_.program.checksum;
    replay.buildSize = facts_.program.byteCount;
    sentTicket_ = replay.ticket;
    return encodeReplay(replay);
}

const Image& WebShell::screen() const { return program_.theSession->world->screen(); }

PageRequest WebShell::step(std::uint32_t now) {
    Step step = program_.step(now, {});
    frameRan_ = step.frameRan;
    drawn_ = step.drawn;
    cues_ = std::move(step.cues);
    if (!step.request) return PageRequest::none;
    return carryOut(*step.request);
}

PageRequest WebShell::menuCommand(int commandId) {
    auto request = program_.menuCommand(commandId);
    return request ? carryOut(*request) : PageRequest::none;
}

PageRequest WebShell::carryOut(const Request& request) {
    details_ = "{}";
    return std::visit(
        Overloaded{
            [&](const ShowPrompt& prompt) {
                details_ = "{" + field("title", utf8FromCodePage1252(prompt.text.title)) + "," +
                           field("question", utf8FromCodePage1252(prompt.text.question)) + "}";
                return PageRequest::prompt;
            },
            [&](const ShowInformation& information) {
                const char* text = informationText(information.index);
                details_ = "{" + field("text", text ? utf8FromCodePage1252(text) : "") + "}";
                return PageRequest::information;
            },
            [&](const ShowRegistration&) { return PageRequest::registration; },
            [&](const OpenAddress& page) {
                details_ = "{" + field("address", pageAddress(page.address)) + "}";
                return PageRequest::address;
            },
            [&](const QuitProgram&) {
                program_.quit();
                return PageRequest::quit;
            },
            [&](const WaitUntil& wait) {
                dueTime_ = wait.dueTime;
                return PageRequest::wait;
            },
            [&](const WaitWhileHeld&) { return PageRequest::held; },
        },
        request);
}

std::string WebShell::registrationOpened() {
    const SubmissionRecord& record = program_.theSubmission;
    std::string caption = "Registrera din po\xE4ng (" + std::to_string(program_.bestScore.value()) + ")";
    return "{" + field("caption", utf8FromCodePage1252(caption)) + "," +
           field("userName", utf8FromCodePage1252(record.userName)) + "," +
           field("password", utf8FromCodePage1252(record.password)) + "," +
           field("focus", fieldName(firstFieldToType(record))) + ",\"maxUserName\":" +
           std::to_string(maxUserNameLength) + ",\"maxPassword\":" + std::to_string(maxPasswordLength) + "}";
}

std::string WebShell::registrationOk(std::string_view userName, std::string_view password) {
    // The page's fields hold no more than these many UTF-16 units, as the
    // Windows dialog's do; what arrives longer is cut the same way.
    std::u16string name = utf16FromUtf8(userName).substr(0, maxUserNameLength);
    std::u16string secret = utf16FromUtf8(password).substr(0, maxPasswordLength);
    TypedFields typed = takeTypedFields(name, secret);
    if (typed.refused) {
        return "{\"refused\":" + messageJson(unsendableCharacterMessage(*typed.refused)) + "," +
               field("focus", fieldName(typed.refused->field)) + "}";
    }
    if (!program_.prepareSubmission(std::move(typed.userName), std::move(typed.password))) return "{\"send\":false}";
    SubmissionRecord& record = program_.theSubmission;
    negateDistrustedScore(record);
    return "{\"send\":true," + field("button", "Skickar...") + "," + field("body", submissionBody(record, facts_)) + "}";
}

std::string WebShell::registrationAnswered(platform::HttpAnswer answer, std::uint32_t now) {
    takeHttpAnswer(program_.theSubmission, std::move(answer));
    return actionsJson(program_.registrationSubmitted(now));
}

std::string WebShell::registrationCancelled(std::uint32_t now) {
    return actionsJson(program_.registrationCancelled(now));
}

std::string WebShell::registrationNewUser() const { return actionsJson(actionsOnNewUser()); }

std::string WebShell::actionsJson(const RegistrationActions& actions) const {
    std::string json = "[";
    for (const RegistrationAction& action : actions) {
        std::string item;
        switch (action.kind) {
        case RegistrationAction::OpenPage:
            item = "{\"kind\":\"openPage\"," + field("address", pageAddress(competitionAddress(action.page))) + "}";
            break;
        case RegistrationAction::SayTryAgain:
            item = "{\"kind\":\"sayTryAgain\"," + field("button", utf8FromCodePage1252("F\xF6rs\xF6k igen")) + "}";
            break;
        case RegistrationAction::ReportFailure:
            item = "{\"kind\":\"reportFailure\",\"message\":" +
                   messageJson(failedSubmissionMessage(program_.theSubmission)) + "}";
            break;
        case RegistrationAction::EndDialog: item = "{\"kind\":\"endDialog\"}"; break;
        // The program's own part, carried out by the program.
        default: continue;
        }
        if (json.size() > 1) json += ',';
        json += item;
    }
    return json + "]";
}

void WebShell::takeModuleBytes(std::span<const std::uint8_t> bytes) {
    facts_.program.checksum = checksumOf(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    facts_.program.byteCount = static_cast<std::uint32_t>(bytes.size());
}
