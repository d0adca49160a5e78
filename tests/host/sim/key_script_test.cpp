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

}  // namespace
