// The C-locale command formatter: what fits a command record, and what is reported as not
// fitting instead of being handed on.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "Em_CFormat.h"

using namespace Brevan2011::BVParse;

TEST(CFormat, ReportsTextsThatDoNotFit) {
    std::string out = "stale";
    EXPECT_TRUE(C_Format(&out, 8, "%s%d", "abc", 12345));
    EXPECT_EQ(out, "abc12345");
    EXPECT_FALSE(C_Format(&out, 8, "%s%d", "abc", 123456));
    EXPECT_TRUE(out.empty());

    const std::string full(kCommandTextLimit, 'x');
    EXPECT_EQ(C_Text("%s", full.c_str()), full);
    EXPECT_EQ(C_Text("%s!", full.c_str()), "");  // 513 bytes: never queued
}

TEST(CFormat, DecimalPointWhateverTheLocale) {
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "de_DE.utf8") == nullptr) {
        GTEST_SKIP() << "de_DE locale not installed";
    }
    const std::string text = C_Text("$JASC,GPGGA,%.2f\r\n", 0.5);
    std::setlocale(LC_NUMERIC, old.c_str());
    EXPECT_EQ(text, "$JASC,GPGGA,0.50\r\n");
}
