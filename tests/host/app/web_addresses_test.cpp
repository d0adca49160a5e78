#include <gtest/gtest.h>

#include "app/web_addresses.h"

namespace {

TEST(WebAddresses, PortShowsOnlyWhenItIsNotHttpsOwn) {
    EXPECT_EQ(siteName("www.kvippa.example", 80), "www.kvippa.example");
    EXPECT_EQ(siteName("127.0.0.1", 8123), "127.0.0.1:8123");
}

TEST(WebAddresses, PagesOfTheTwoSites) {
    EXPECT_EQ(competitionAddress("/index2.htm"), "http://" + competitionSiteName() + "/index2.htm");
    EXPECT_EQ(makerAddress("/").rfind("http://", 0), 0u);
    EXPECT_EQ(makerAddress("/").back(), '/');
}

}  // namespace
