// E-mail addresses that are one mailbox, and nicknames that show what they
// are and cannot pass for another.
#include <gtest/gtest.h>

#include "server/mail_address.h"
#include "server/nickname.h"

namespace {

TEST(MailAddress, OnlyOneMailboxIsOneMailbox) {
    const std::pair<const char*, bool> cases[] = {
        {"anna@example.se", true},
        {"anna.berg+zifra@mail.example.se", true},
        {"o'hara@example.se", true},
        {"åsa@exempel.se", true},
        {"a@b.co", true},
        {"me@evil.example,victim1@example.se", false},
        {"me@evil.example;victim1@example.se", false},
        {"me@evil.example victim1@example.se", false},
        {"Anna <anna@example.se>", false},
        {"<anna@example.se>", false},
        {"\"anna berg\"@example.se", false},
        {"anna(kommentar)@example.se", false},
        {"anna@example.se\r\nBcc: x@y.se", false},
        {"anna@@example.se", false},
        {"anna@b@example.se", false},
        {"@example.se", false},
        {"anna@", false},
        {"anna", false},
        {".anna@example.se", false},
        {"anna.@example.se", false},
        {"an..na@example.se", false},
        {"anna@localhost", false},
        {"anna@[192.0.2.1]", false},
        {"anna@192.0.2.1", false},
        {"anna@-example.se", false},
        {"anna@example-.se", false},
        {"anna@example..se", false},
        {"anna@example.se.", false},
        {"anna@exa_mple.se", false},
        {"", false},
    };
    for (const auto& [address, one] : cases) EXPECT_EQ(isOneMailbox(address), one) << address;
    EXPECT_FALSE(isOneMailbox(std::string(65, 'a') + "@example.se")) << "a local part past 64";
    EXPECT_TRUE(isOneMailbox(std::string(64, 'a') + "@example.se"));
}

TEST(Nickname, KeptNormalisedAndRefusedWhenItHidesWhatItIs) {
    struct Case {
        const char* what;
        std::string sent;
        NicknameFault fault;
        std::string shown;
    };
    const Case cases[] = {
        {"plain", "Champion55", NicknameFault::none, "Champion55"},
        {"Swedish letters", "Åsa Öberg", NicknameFault::none, "Åsa Öberg"},
        {"full-width letters", "\uFF23\uFF48\uFF41\uFF4D\uFF50\uFF49\uFF4F\uFF4E\uFF15\uFF15", NicknameFault::none,
         "Champion55"},
        {"a ligature", "\uFB01sk", NicknameFault::none, "fisk"},
        {"spacing around and within", " \u00A0Anna \u3000  Berg\t", NicknameFault::none, "Anna Berg"},
        {"a zero-width space inside", "Cham\u200Bpion", NicknameFault::none, "Champion"},
        {"a soft hyphen inside", "Cham\u00ADpion", NicknameFault::none, "Champion"},
        {"a decomposed å", "a\u030Asa", NicknameFault::none, "åsa"},
        {"two marks on a letter", "e\u0302\u0301", NicknameFault::none, "\u1EBF"},
        {"empty", "", NicknameFault::emptyOrLong, ""},
        {"spaces only", "   ", NicknameFault::emptyOrLong, ""},
        {"invisible only", "\u200B\u200D\u2060\uFEFF", NicknameFault::emptyOrLong, ""},
        {"Hangul fillers only", "\u3164\u3164", NicknameFault::emptyOrLong, ""},
        {"marks only", "\u0301\u0302", NicknameFault::emptyOrLong, ""},
        {"33 letters", std::string(33, 'x'), NicknameFault::emptyOrLong, ""},
        {"a right-to-left override", "Anna\u202Egnp.exe", NicknameFault::deceptive, ""},
        {"a right-to-left mark", "Anna\u200F", NicknameFault::deceptive, ""},
        {"an isolate", "\u2067Anna\u2069", NicknameFault::deceptive, ""},
        {"a pile of marks", "Zal\u0300\u0301\u0302\u0303\u0304go", NicknameFault::deceptive, ""},
        {"a control character", "Anna\x07", NicknameFault::deceptive, ""},
        {"not UTF-8", "Anna\xE5", NicknameFault::deceptive, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NicknameVerdict verdict = examineNickname(c.sent, 32);
        EXPECT_EQ(verdict.fault, c.fault);
        if (c.fault == NicknameFault::none) {
            EXPECT_EQ(verdict.shown, c.shown);
        }
    }
    EXPECT_EQ(examineNickname(std::string(30, 'x') + "\u200B\u200B\u200B", 32).fault, NicknameFault::none)
        << "what is dropped is not counted";
}

TEST(Nickname, LookAlikesShareASkeletonAndOthersDoNot) {
    const std::pair<std::string, std::string> alike[] = {
        {"\u0421h\u0430mpi\u043En55", "Champion55"},  // Cyrillic С, а, о
        {"CHAMPION55", "champion55"},
        {"\uFF23hampion55", "Champion55"},
        {"Champ\u200Bion55", "Champion55"},
        {"rnike", "mike"},
        {"pa\u0443pal", "paypal"},  // Cyrillic у
        {"\u0391nna", "Anna"},  // Greek Alpha
    };
    for (const auto& [one, other] : alike) {
        EXPECT_EQ(examineNickname(one, 32).skeleton, examineNickname(other, 32).skeleton) << one << " / " << other;
    }
    const std::pair<std::string, std::string> different[] = {
        {"Anna", "Anne"},
        {"Åsa", "Asa"},
        {"Champion55", "Champion56"},
    };
    for (const auto& [one, other] : different) {
        EXPECT_NE(examineNickname(one, 32).skeleton, examineNickname(other, 32).skeleton) << one << " / " << other;
    }
}

}  // namespace
