#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tools/sim/key_script.h"

namespace {

// Hands out `text` and then fails as a disk does part-way, the way a file
// buffer reports a read error: by throwing, which the stream turns into badbit.
class FailingAfter : public std::stringbuf {
public:
    FailingAfter(const std::string& text, bool fails) : std::stringbuf(text), failsAtEnd(fails) {}

protected:
    int_type underflow() override {
        int_type next = std::stringbuf::underflow();
        if (failsAtEnd && traits_type::eq_int_type(next, traits_type::eof())) {
            throw std::ios_base::failure("read error");
        }
        return next;
    }

private:
    bool failsAtEnd;
};

TEST(KeyScript, OnlyTheStreamsEndEndsTheScript) {
    for (bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "read error after two lines" : "whole file");
        FailingAfter buffer("0 down space\n3 down right\n", fails);
        std::istream in(&buffer);
        std::string error;
        std::optional<KeyScript> script = readKeyScript(in, "keys.txt", error);
        if (fails) {
            EXPECT_FALSE(script);
            EXPECT_EQ(error, "cannot read key file keys.txt");
        } else {
            ASSERT_TRUE(script);
            EXPECT_EQ(script->size(), 2u);
            EXPECT_EQ(error, "");
        }
    }
}

TEST(KeyScript, ATextInHandReadsAsTheStreamDoes) {
    struct Case {
        const char* text;
        bool read;
        std::size_t events;
    };
    const Case cases[] = {
        {"0 down space\n12 up space\n", true, 2},
        {"0 down space\n\n \t\r\n5 down left", true, 2},  // blank lines, no last line end
        {"+7 down right\r\n", true, 1},
        {"7down right", true, 1},  // the number ends where its digits do
        {"007 up f1", true, 1},
        {"9223372036854775807 down up", true, 1},
        {"9223372036854775808 down up", false, 0},  // past the largest tick
        {"99999999999999999999999 down up", false, 0},
        {"-1 down space", false, 0},
        {"- 1 down space", false, 0},
        {"1 down", false, 0},
        {"1 down space now", false, 0},
        {"1 sideways space", false, 0},
        {"1 down enter", false, 0},
        {"1.5 down space", false, 0},
        {"\v", false, 0},  // not blank as the script counts blank
        {"", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string streamError, textError;
        std::istringstream in(c.text);
        std::optional<KeyScript> fromStream = readKeyScript(in, "keys.txt", streamError);
        std::optional<KeyScript> fromText = readKeyScriptText(c.text, "keys.txt", textError);
        ASSERT_EQ(fromStream.has_value(), c.read);
        ASSERT_EQ(fromText.has_value(), c.read);
        EXPECT_EQ(textError, streamError);
        if (!c.read) continue;
        std::size_t events = 0;
        for (const auto& [tick, list] : *fromText) {
            events += list.size();
            ASSERT_TRUE(fromStream->count(tick));
            ASSERT_EQ(fromStream->at(tick).size(), list.size());
            for (std::size_t i = 0; i < list.size(); ++i) {
                EXPECT_EQ(fromStream->at(tick)[i].key, list[i].key);
                EXPECT_EQ(fromStream->at(tick)[i].down, list[i].down);
            }
        }
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(fromStream->size(), fromText->size());
    }
}

}  // namespace
