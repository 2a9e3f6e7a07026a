// SPDX-License-Identifier: MIT
// What bytes mean in a character set: UTF-8 decoded, C1 controls told, ASCII and UTF-8 told
// apart, and a translation held against its UTF-8 text.
#include "charset.hpp"
#include "decoders.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include <vector>

#include <string>

namespace
{

struct Utf8Row {
    std::string bytes;
    long point;      // -1: none
    std::size_t len; // 0: no character; past the bytes: more may complete it
};

class Utf8 : public testing::TestWithParam<Utf8Row>
{
};

TEST_P(Utf8, Decoded)
{
    const Utf8Row &row = GetParam();
    std::size_t len = 99;
    EXPECT_EQ(charset::utf8(row.bytes.data(), row.bytes.size(), len), row.point);
    EXPECT_EQ(len, row.len);
}

const std::vector<Utf8Row> utf8_rows = {
    {"a", 'a', 1},
    {"\xc3\xa9", 0xe9, 2},
    {"\xe2\x82\xac", 0x20ac, 3},
    {"\xf0\x9f\x99\x82", 0x1f642, 4},
    {"\xf4\x8f\xbf\xbf", 0x10ffff, 4},
    {"\xe2\x82", -1, 3},
    {"\xc3", -1, 2},
    {"\xc3x", -1, 0},
    {"\x80", -1, 0},
    {"\xc0\xaf", -1, 0},
    {"\xe0\x80\xaf", -1, 0},
    {"\xed\xa0\x80", -1, 0},
    {"\xf4\x90\x80\x80", -1, 0},
    {"\xff", -1, 0},
};

INSTANTIATE_TEST_SUITE_P(Table, Utf8, testing::ValuesIn(utf8_rows));

struct C1Row {
    int byte;
    charset::Decode decode;
    bool c1;
};

class C1 : public testing::TestWithParam<C1Row>
{
};

TEST_P(C1, Told)
{
    EXPECT_EQ(charset::c1_control(GetParam().byte, GetParam().decode), GetParam().c1);
}

const std::vector<C1Row> c1_rows = {
    {0x80, decoders::latin1, true},  {0x9b, decoders::latin1, true},
    {0x9f, decoders::latin1, true},  {0x7f, decoders::latin1, false},
    {0xa0, decoders::latin1, false}, {0x9b, decoders::koi8_r, false},
    {0x9b, charset::utf8, false},    {0x9b, decoders::double_byte, false},
    {0x9b, decoders::ascii, false},
};

INSTANTIATE_TEST_SUITE_P(Table, C1, testing::ValuesIn(c1_rows));

struct SetRow {
    const char *name;
    charset::Decode decode;
    std::size_t mb_max;
    const char *locale;
    bool ascii;
    bool utf8;
};

// Named in what a failure says.
void PrintTo(const SetRow &row, std::ostream *out)
{
    *out << row.name;
}

class Sets : public testing::TestWithParam<SetRow>
{
};

TEST_P(Sets, Told)
{
    const SetRow &row = GetParam();
    EXPECT_EQ(charset::ascii(row.mb_max, row.locale, row.decode), row.ascii);
    EXPECT_EQ(charset::is_utf8(row.decode), row.utf8);
}

const std::vector<SetRow> sets_rows = {
    {"c", decoders::ascii, 1, "C", true, false},
    {"posix", decoders::ascii, 1, "POSIX", true, false},
    {"c_taking_every_byte", decoders::latin1, 1, "C", true, false},
    {"ascii_by_another_name", decoders::ascii, 1, "en_US.ANSI_X3.4-1968", true, false},
    {"latin1", decoders::latin1, 1, "de_DE.ISO-8859-1", false, false},
    {"koi8_r", decoders::koi8_r, 1, "ru_RU.KOI8-R", false, false},
    {"utf8", charset::utf8, 6, "de_DE.UTF-8", false, true},
    {"double_byte", decoders::double_byte, 2, "ko_KR.EUC-KR", false, false},
};

INSTANTIATE_TEST_SUITE_P(Table, Sets, testing::ValuesIn(sets_rows),
                         [](const testing::TestParamInfo<SetRow> &row) { return row.param.name; });

struct SameRow {
    const char *name;
    std::string text;  // in the character set
    std::string exact; // in UTF-8
    charset::Decode decode;
    bool same;
};

// Named in what a failure says.
void PrintTo(const SameRow &row, std::ostream *out)
{
    *out << row.name;
}

class Same : public testing::TestWithParam<SameRow>
{
};

TEST_P(Same, Told)
{
    const SameRow &row = GetParam();
    EXPECT_EQ(charset::same_characters(row.text.c_str(), row.exact.c_str(), row.decode), row.same);
}

const std::vector<SameRow> same_rows = {
    {"latin1_exact",
     "Taste dr\xfc"
     "cken",
     "Taste dr\xc3\xbc"
     "cken",
     decoders::latin1, true},
    {"letter_replaced", "Taste drucken",
     "Taste dr\xc3\xbc"
     "cken",
     decoders::latin1, false},
    {"letter_left_out", "Taste drcken",
     "Taste dr\xc3\xbc"
     "cken",
     decoders::latin1, false},
    {"question_marks", "??? . . . ", "\xe4\xbd\x95 . . . ", decoders::latin1, false},
    {"shorter", "Taste",
     "Taste dr\xc3\xbc"
     "cken",
     decoders::latin1, false},
    {"longer",
     "Taste dr\xfc"
     "cken!",
     "Taste dr\xc3\xbc"
     "cken",
     decoders::latin1, false},
    {"two_bytes_for_one", "\xc3\xa9", "\xc3\xa9", decoders::double_byte, false},
    {"utf8_itself",
     "dr\xc3\xbc"
     "cken",
     "dr\xc3\xbc"
     "cken",
     charset::utf8, true},
};

INSTANTIATE_TEST_SUITE_P(Table, Same, testing::ValuesIn(same_rows),
                         [](const testing::TestParamInfo<SameRow> &row) { return row.param.name; });

} // namespace
