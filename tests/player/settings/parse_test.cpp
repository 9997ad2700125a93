// Reading integers from settings text, and the value-in-set test.
#include <gtest/gtest.h>

#include "player/settings/settings.h"
#include "test_support.h"

#include <string>

TEST(ParseLooseInt, DigitsJoinUpWhereverTheyStand) {
    EXPECT_EQ(12, ParseLooseInt(L"1a2"));
    EXPECT_EQ(12, ParseLooseInt(L"1-2"));
    EXPECT_EQ(3, ParseLooseInt(L"3rd"));
    EXPECT_EQ(2, ParseLooseInt(L"x2"));
    EXPECT_EQ(42, ParseLooseInt(L" 4 2 "));
    EXPECT_EQ(7, ParseLooseInt(L"\x0661"
                               L"7")); // other scripts' digits are not digits
}

TEST(ParseLooseInt, OnlyALeadingMinusNegates) {
    EXPECT_EQ(-12, ParseLooseInt(L"-12"));
    EXPECT_EQ(-12, ParseLooseInt(L"--12"));
    EXPECT_EQ(12, ParseLooseInt(L" -12"));
    EXPECT_EQ(0, ParseLooseInt(L"-"));
}

TEST(ParseLooseInt, NoDigitsGiveZero) {
    EXPECT_EQ(0, ParseLooseInt(L""));
    EXPECT_EQ(0, ParseLooseInt(L"abc"));
    EXPECT_EQ(0, ParseLooseInt(NULL));
}

TEST(ParseLooseInt, ArithmeticWrapsAt32Bits) {
    EXPECT_EQ(-1294967296, ParseLooseInt(L"3000000000"));
    EXPECT_EQ(0, ParseLooseInt(L"4294967296"));
    EXPECT_EQ(-1, ParseLooseInt(L"4294967295"));
    EXPECT_EQ((LONG)0x80000000, ParseLooseInt(L"2147483648"));
    EXPECT_EQ((LONG)0x80000000, ParseLooseInt(L"-2147483648"));
    EXPECT_EQ(1, ParseLooseInt(L"-4294967295"));
    // 10^20 mod 2^32
    EXPECT_EQ(1661992960, ParseLooseInt(L"100000000000000000000"));
}

TEST(IsValueInSet, FindsAListedValueAndNothingWithoutAList) {
    const LONG values[] = {64, 32, 128};
    EXPECT_EQ(1, IsValueInSet(64, 3, values));
    EXPECT_EQ(1, IsValueInSet(128, 3, values));
    EXPECT_EQ(0, IsValueInSet(256, 3, values));
    EXPECT_EQ(0, IsValueInSet(128, 2, values));
    EXPECT_EQ(0, IsValueInSet(64, 0, values));
    EXPECT_EQ(0, IsValueInSet(64, -1, values));
}

TEST(ReadIntSetting, AbsentFileSectionOrKeyGiveTheDefaultAndLongValuesAreCut) {
    std::wstring path = MakeScratchFolder(L"read-int") + L"values.ini";
    EXPECT_EQ(-5, ReadIntSetting(L"Client", L"Volume", -5, path.c_str()));
    std::string longValue(259, '0');
    longValue += "7";
    ASSERT_TRUE(WriteBytes(path, "[Client]\r\nVolume=\r\nCut=" + longValue +
                                     "\r\nSpaced =  42  \r\n[Other]\r\nKey=9\r\n"));
    EXPECT_EQ(0, ReadIntSetting(L"Client", L"Volume", 100, path.c_str()));
    EXPECT_EQ(0, ReadIntSetting(L"Client", L"Cut", 1, path.c_str())); // the 7 falls off
    EXPECT_EQ(42, ReadIntSetting(L"Client", L"Spaced", 1, path.c_str()));
    EXPECT_EQ(123, ReadIntSetting(L"Client", L"Key", 123, path.c_str()));
    EXPECT_EQ(123, ReadIntSetting(L"Missing", L"Key", 123, path.c_str()));
    EXPECT_EQ(77, ReadIntSetting(L"Client", L"Volume", 77, L""));
}
