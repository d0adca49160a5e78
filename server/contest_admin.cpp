#include "server/contest_admin.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <exception>
#include <fstream>
#include <map>
#include <sstream>

#include "server/connection_pool.h"
#include "server/contest_service.h"
#include "server/mail_queue.h"
#include "server/news.h"
#include "server/pages.h"
#include "server/passwords.h"
#include "server/schema.h"
#include "server/text_encoding.h"

namespace {

const char* const optionNames[] = {"--db",     "--site",   "--as",      "--start",    "--end",
                                   "--reason", "--player", "--game",    "--subject", "--body-file"};

struct Command {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;
    bool verifiedOnly = false;
    bool queueMail = false;  // into the database's queue, which a server with --smtp sends
};

struct Misuse {
    std::string why;
};

std::optional<std::string> option(const Command& c, const std::string& name) {
    auto found = c.options.find(name);
    if (found == c.options.end()) return std::nullopt;
    return found->second;
}

std::string required(const Command& c, const std::string& name) {
    auto value = option(c, name);
    if (!value || value->empty()) throw Misuse{c.words[0] + " " + c.words[1] + " needs " + name};
    return *value;
}

void expectWords(const Command& c, std::size_t count, const char* form) {
    if (c.words.size() != count) throw Misuse{std::string("usage: admin ") + form};
}

std::int64_t number(const std::string& text, const char* what) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        throw Misuse{std::string(what) + " must be a whole number, not " + text};
    }
    return value;
}

std::int32_t gameNumber(const std::string& text) {
    std::int64_t id = number(text, "a game id");
    if (id < 1 || id > INT32_MAX) throw Misuse{"a game id must be from 1 to " + std::to_string(INT32_MAX)};
    return static_cast<std::int32_t>(id);
}

Command parse(const std::vector<std::string>& arguments) {
    Command c;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a.rfind("--", 0) != 0) {
            c.words.push_back(a);
            continue;
        }
        if (a == "--verified-only") {
            c.verifiedOnly = true;
            continue;
        }
        if (a == "--queue-mail") {
            c.queueMail = true;
            continue;
        }
        bool known = false;
        for (const char* name : optionNames) known = known || a == name;
        if (!known) throw Misuse{"unknown option " + a + " (see admin --help)"};
        if (i + 1 == arguments.size()) throw Misuse{a + " needs a value"};
        c.options[a] = arguments[++i];
    }
    if (c.words.empty()) throw Misuse{"no command given (see admin --help)"};
    return c;
}

std::string periodLine(const Period& p) {
    return p.name + "\t" + utcTime(p.startsAt) + "\t" + utcTime(p.endsAt) + "\t" +
           (p.closedAt ? "closed " + utcTime(*p.closedAt) : std::string("open")) + "\n";
}

class Admin {
public:
    Admin(const Command& command, const AdminEnvironment& environment, ConnectionPool& pool, const SendMail& mail,
          const std::string& site)
        : c_(command),
          environment_(environment),
          pool_(pool),
          mail_(mail),
          site_(site),
          note_{option(command, "--as").value_or(environment.user), option(command, "--reason").value_or("")},
          contest_(pool,
                   ContestSettings{site, environment.clock,
                                   command.verifiedOnly ? ListedScores::verifiedOnly : ListedScores::all},
                   mail) {}

    AdminResult run() {
        const std::string& what = c_.words[0];
        std::string sub = c_.words.size() > 1 ? c_.words[1] : "";
        if (what == "game" && sub == "add") return gameAdd();
        if (what == "game" && sub == "list") return gameList();
        if (what == "game" && sub == "retire") return gameRetire();
        if (what == "period" && sub == "open") return periodOpen();
        if (what == "period" && sub == "close") return periodClose();
        if (what == "period" && sub == "list") return periodList();
        if (what == "winners") return winners();
        if (what == "score" && sub == "list") return scoreList();
        if (what == "score" && (sub == "hide" || sub == "restore")) return scoreHide(sub == "hide");
        if (what == "account" && (sub == "ban" || sub == "unban")) return accountBan(sub == "ban");
        if (what == "export") return exportPeriod();
        if (what == "audit") return audit();
        if (what == "news" && sub == "send") return newsSend();
        throw Misuse{"unknown command " + what + (sub.empty() ? "" : " " + sub) + " (see admin --help)"};
    }

private:
    static AdminResult done(std::string output) { return {adminDone, std::move(output), ""}; }
    static AdminResult failed(std::string why) { return {adminFailed, "", std::move(why)}; }

    Period knownPeriod(const std::string& name) {
        auto period = contest_.store().period(name);
        if (!period) throw std::runtime_error("no period is named " + name);
        return *period;
    }

    AdminResult gameAdd() {
        expectWords(c_, 4, "game add ID NAME");
        std::int32_t id = gameNumber(c_.words[2]);
        const std::string& name = c_.words[3];
        if (name.empty() || !isPrintableUtf8(name)) throw Misuse{"a game's name must be printable UTF-8"};
        if (!contest_.store().addGame({id, name, true}, note_, contest_.now())) {
            return failed("a game with id " + std::to_string(id) + " exists already");
        }
        return done("game " + std::to_string(id) + " added\n");
    }

    AdminResult gameList() {
        expectWords(c_, 2, "game list");
        std::string out;
        for (const GameEntry& g : contest_.store().games()) {
            out += std::to_string(g.id) + "\t" + g.name + "\t" + (g.current ? "current" : "retired") + "\n";
        }
        return done(out);
    }

    AdminResult gameRetire() {
        expectWords(c_, 3, "game retire ID");
        std::int32_t id = gameNumber(c_.words[2]);
        if (!contest_.store().retireGame(id, note_, contest_.now())) {
            return failed("no current game has id " + std::to_string(id));
        }
        return done("game " + std::to_string(id) + " retired\n");
    }

    AdminResult periodOpen() {
        expectWords(c_, 3, "period open NAME --start ISO --end ISO");
        const std::string& name = c_.words[2];
        if (name.empty() || !isPrintableUtf8(name)) throw Misuse{"a period's name must be printable UTF-8"};
        auto start = parseUtcTime(required(c_, "--start")), end = parseUtcTime(required(c_, "--end"));
        if (!start || !end) throw Misuse{"--start and --end take UTC times like 2027-01-01T00:00:00Z"};
        switch (contest_.store().openPeriod(name, *start, *end, note_, contest_.now())) {
            case PeriodOpening::opened: return done("period " + name + " opened\n");
            case PeriodOpening::nameTaken: return failed("a period is named " + name + " already");
            case PeriodOpening::overlaps: return failed("the period would overlap another one");
            case PeriodOpening::empty: throw Misuse{"--end must be after --start"};
        }
        return failed("unreachable");
    }

    AdminResult periodClose() {
        expectWords(c_, 3, "period close NAME");
        Period period = knownPeriod(c_.words[2]);
        if (period.closedAt) return failed("the period " + period.name + " is closed already");
        auto winners = contest_.closePeriod(period, note_);
        if (!winners) return failed("the period " + period.name + " is closed already");
        return done("period " + period.name + " closed with " + std::to_string(winners->size()) + " winners\n");
    }

    AdminResult periodList() {
        expectWords(c_, 2, "period list");
        std::string out;
        for (const Period& p : contest_.store().periods()) out += periodLine(p);
        return done(out);
    }

    AdminResult winners() {
        expectWords(c_, 2, "winners NAME");
        Period period = knownPeriod(c_.words[1]);
        if (!period.closedAt) return failed("the period " + period.name + " is not closed yet");
        std::string out;
        for (const Winner& w : contest_.store().winners(period.id)) {
            out += std::to_string(w.gameId) + "\t" + std::to_string(w.place) + "\t" + w.nickname + "\t" +
                   std::to_string(w.score) + "\t" + (w.claimed ? "claimed" : "unclaimed") + "\t" +
                   (w.referrer.empty() ? "-" : "bonus: " + w.referrer) + "\n";
        }
        return done(out);
    }

    AdminResult scoreList() {
        expectWords(c_, 2, "score list [--player EMAIL] [--game ID]");
        std::optional<std::string> player;
        if (auto email = option(c_, "--player")) player = nameKey(*email);
        std::optional<std::int32_t> game;
        if (auto id = option(c_, "--game")) game = gameNumber(*id);
        std::string out;
        for (const ScoreEntry& s : contest_.store().scores(player, game)) {
            out += std::to_string(s.id) + "\t" + s.email + "\t" + s.nickname + "\t" + std::to_string(s.gameId) +
                   "\t" + std::to_string(s.score) + "\t" + utcTime(s.submittedAt) + "\t" +
                   (s.period.empty() ? "-" : s.period) + "\t" + (s.verified ? "verified" : "unverified") +
                   (s.hiddenReason ? "\thidden: " + *s.hiddenReason : "") + "\n";
        }
        return done(out);
    }

    AdminResult scoreHide(bool hide) {
        expectWords(c_, 3, hide ? "score hide ID --reason TEXT" : "score restore ID");
        std::int64_t id = number(c_.words[2], "a score id");
        if (hide) required(c_, "--reason");
        bool changed = hide ? contest_.store().hideScore(id, note_, contest_.now())
                            : contest_.store().restoreScore(id, note_, contest_.now());
        if (!changed) return failed("no " + std::string(hide ? "listed" : "hidden") + " score has id " + c_.words[2]);
        return done("score " + c_.words[2] + (hide ? " hidden\n" : " restored\n"));
    }

    AdminResult accountBan(bool ban) {
        expectWords(c_, 3, ban ? "account ban EMAIL --reason TEXT" : "account unban EMAIL");
        if (ban) required(c_, "--reason");
        std::string key = nameKey(c_.words[2]);
        bool changed = ban ? contest_.store().banAccount(key, note_, contest_.now())
                           : contest_.store().unbanAccount(key, note_, contest_.now());
        if (!changed) {
            return failed("no " + std::string(ban ? "account that is not banned" : "banned account") + " has the address " +
                          c_.words[2]);
        }
        return done("account " + c_.words[2] + (ban ? " banned\n" : " unbanned\n"));
    }

    AdminResult exportPeriod() {
        expectWords(c_, 2, "export NAME");
        Period period = knownPeriod(c_.words[1]);
        auto view = contest_.view(period.name);
        std::string out = "list,period,game_id,game,place,nickname,score,reached_at,bonus_to\n";
        auto line = [&](const char* list, const GameEntry& game, std::int32_t place, const std::string& nickname,
                        std::int32_t score, std::int64_t at, const std::string& bonusTo) {
            out += std::string(list) + "," + csvField(period.name) + "," + std::to_string(game.id) + "," +
                   csvField(game.name) + "," + std::to_string(place) + "," + csvField(nickname) + "," +
                   std::to_string(score) + "," + utcTime(at) + "," + csvField(bonusTo) + "\n";
        };
        for (const GameLists& lists : view->games) {
            std::int32_t place = 0;
            for (const Placing& p : lists.period) {
                line("period", lists.game, ++place, p.nickname, p.score, p.achievedAt, "");
            }
        }
        auto games = contest_.store().games();
        for (const Winner& w : contest_.store().winners(period.id)) {
            GameEntry game{w.gameId, "", false};
            for (const GameEntry& g : games) {
                if (g.id == w.gameId) game = g;
            }
            line("winner", game, w.place, w.nickname, w.score, w.achievedAt, w.referrer);
        }
        return done(out);
    }

    AdminResult newsSend() {
        expectWords(c_, 2, "news send --subject TEXT --body-file FILE");
        std::string subject = required(c_, "--subject"), file = required(c_, "--body-file");
        std::ifstream in(file, std::ios::binary);
        std::stringstream body;
        body << in.rdbuf();
        if (!in) return failed("cannot read " + file);
        std::string text = body.str();
        std::string oneLine = text;
        for (char& c : oneLine) {
            if (c == '\n') c = ' ';
        }
        if (!isPrintableUtf8(subject) || !isPrintableUtf8(oneLine) || text.empty()) {
            return failed("the subject and the body must be printable UTF-8, the body not empty");
        }
        std::size_t sent = News(pool_, site_, mail_, environment_.clock).send({subject, text}, note_);
        return done("news mailed to " + std::to_string(sent) + " subscribers\n");
    }

    AdminResult audit() {
        expectWords(c_, 1, "audit");
        std::string out;
        for (const AuditEntry& e : contest_.store().audit()) {
            out += utcTime(e.doneAt) + "\t" + e.actor + "\t" + e.action + "\t" + e.subject + "\t" + e.reason + "\n";
        }
        return done(out);
    }

    const Command& c_;
    const AdminEnvironment& environment_;
    ConnectionPool& pool_;
    SendMail mail_;
    std::string site_;
    AuditNote note_;
    ContestService contest_;
};

}  // namespace

std::optional<std::int64_t> parseUtcTime(const std::string& text) {
    std::tm t{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int used = 0;
    std::string s = text;
    if (!s.empty() && s.back() == 'Z') s.pop_back();
    bool read = false;
    if (s.size() == 10) {
        read = std::sscanf(s.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) == 3;
    } else if (s.size() == 16) {
        read = std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d%n", &year, &month, &day, &hour, &minute, &used) == 5;
    } else if (s.size() == 19) {
        read = std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &year, &month, &day, &hour, &minute, &second,
                           &used) == 6;
    }
    if (!read || used != static_cast<int>(s.size()) || s[4] != '-' || s[7] != '-') return std::nullopt;
    for (char c : s) {
        if (c != '-' && c != ':' && c != 'T' && (c < '0' || c > '9')) return std::nullopt;
    }
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    std::time_t seconds = timegm(&t);
    // timegm carries 31 February into March; such a date is refused.
    std::tm back{};
    gmtime_r(&seconds, &back);
    if (back.tm_year != t.tm_year || back.tm_mon != month - 1 || back.tm_mday != day || back.tm_hour != hour ||
        back.tm_min != minute || back.tm_sec != second) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(seconds);
}

std::string csvField(const std::string& text) {
    // A spreadsheet takes a cell that begins so for a formula, and a
    // player's nickname is no formula of the organiser's: a leading quote
    // mark keeps it text.
    bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    std::string field = formula ? "'" + text : text;
    bool quote = formula || (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    for (char c : field) quote = quote || c == ',' || c == '"' || c == '\n' || c == '\r';
    if (!quote) return field;
    std::string out = "\"";
    for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

AdminResult runAdmin(const std::vector<std::string>& arguments, const AdminEnvironment& environment) {
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) return {adminDone, adminUsage(), ""};
    try {
        Command command = parse(arguments);
        std::string url = option(command, "--db").value_or("sqlite:zifra-competition.db");
        std::string site = option(command, "--site").value_or("http://localhost");
        if (option(command, "--as") && option(command, "--as")->empty()) throw Misuse{"--as needs a name"};
        if (url.rfind("sqlite:", 0) != 0 && url.rfind("postgresql://", 0) != 0 && url.rfind("postgres://", 0) != 0) {
            throw Misuse{"--db takes sqlite:PATH or postgresql://..., not " + url};
        }
        ConnectionPool pool(url, 1);
        migrateSchema(*pool.borrow());
        SendMail mail = [&pool, &command, outbox = Outbox(environment.outbox)](const MailMessage& message,
                                                                              std::time_t now) {
            if (command.queueMail) return queueMail(pool, message, now);
            outbox.send(message, now);
        };
        return Admin(command, environment, pool, mail, site).run();
    } catch (const Misuse& misuse) {
        return {adminMisused, "", misuse.why};
    } catch (const std::exception& error) {
        return {adminFailed, "", error.what()};
    }
}

std::string adminUsage() {
    return "Usage: zifra-server admin [--db URL] [--site URL] [--as NAME] [--verified-only] [--queue-mail] COMMAND ...\n"
           "The organiser's changes to the competition; each is audited under the --as name or the\n"
           "user running it. Times are UTC, e.g. 2027-01-01T00:00:00Z. Give --db, --site and\n"
           "--verified-only as the server has them: the winners and lists are then the server's.\n"
           "\n"
           "  game add ID NAME | game list | game retire ID\n"
           "  period open NAME --start ISO --end ISO | period close NAME | period list\n"
           "  winners NAME                          a closed period's winners\n"
           "  score list [--player EMAIL] [--game ID]\n"
           "  score hide ID --reason TEXT | score restore ID [--reason TEXT]\n"
           "  account ban EMAIL --reason TEXT | account unban EMAIL [--reason TEXT]\n"
           "  export NAME                           a period's lists and winners as CSV\n"
           "  audit                                 every organiser action so far\n"
           "  news send --subject TEXT --body-file FILE   mail the subscribers, each with a way out\n"
           "\n"
           "Exit codes: 0 done, 1 could not be done, 2 bad use. Mail (claim links, news) is written\n"
           "into outbox/ in the working directory, as a server's without --smtp is; with --queue-mail\n"
           "it waits in the database's mail queue, which the servers run with --smtp send.\n";
}
