// SPDX-License-Identifier: MIT
// What bytes mean in a character set: UTF-8 decoded, C1 controls told, ASCII and UTF-8 told
// apart, and a translation held against its UTF-8 text.
#include "charset.hpp"
#include "decoders.hpp"
#include "table.hpp"

#include <string>
#include <vector>

namespace
{

struct Utf8Row {
    const char *name;
    std::string bytes;
    long point;      // -1: none
    std::size_t len; // 0: no character; past the bytes: more may complete it
};

const std::vector<Utf8Row> utf8_rows = {
    {"ascii", "a", 'a', 1},
    {"two_byte", "\xc3\xa9", 0xe9, 2},
    {"three_byte", "\xe2\x82\xac", 0x20ac, 3},
    {"four_byte", "\xf0\x9f\x99\x82", 0x1f642, 4},
    {"last_code_point", "\xf4\x8f\xbf\xbf", 0x10ffff, 4},
    {"three_byte_cut", "\xe2\x82", -1, 3},
    {"two_byte_cut", "\xc3", -1, 2},
    {"lead_then_ascii", "\xc3x", -1, 0},
    {"lone_continuation", "\x80", -1, 0},
    {"overlong_two_byte", "\xc0\xaf", -1, 0},
    {"overlong_three_byte", "\xe0\x80\xaf", -1, 0},
    {"overlong_told_at_its_second_byte", "\xe0\x80", -1, 0},
    {"surrogate_told_at_its_second_byte", "\xed\xa0", -1, 0},
    {"past_u10ffff_told_at_its_second_byte", "\xf4\x90", -1, 0},
    {"may_still_be_one", "\xed\x9f", -1, 3},
    {"surrogate", "\xed\xa0\x80", -1, 0},
    {"past_last_code_point", "\xf4\x90\x80\x80", -1, 0},
    {"never_in_utf8", "\xff", -1, 0},
};

TABLE(Utf8, Utf8Row, utf8_rows);

TEST_P(Utf8, Decoded)
{
    const Utf8Row &row = GetParam();
    std::size_t len = 99;
    EXPECT_EQ(charset::utf8(row.bytes.data(), row.bytes.size(), len), row.point);
    EXPECT_EQ(len, row.len);
}

struct C1Row {
    const char *name;
    int byte;
    charset::Decode decode;
    bool c1;
};

const std::vector<C1Row> c1_rows = {
    {"latin1_first", 0x80, decoders::latin1, true},
    {"latin1_csi", 0x9b, decoders::latin1, true},
    {"latin1_last", 0x9f, decoders::latin1, true},
    {"latin1_delete", 0x7f, decoders::latin1, false},
    {"latin1_past_last", 0xa0, decoders::latin1, false},
    {"koi8_r_sign", 0x9b, decoders::koi8_r, false},
    {"utf8_continuation", 0x9b, charset::utf8, false},
    {"double_byte_lead", 0x9b, decoders::double_byte, false},
    {"ascii_no_character", 0x9b, decoders::ascii, false},
};

TABLE(C1, C1Row, c1_rows);

TEST_P(C1, Told)
{
    EXPECT_EQ(charset::c1_control(GetParam().byte, GetParam().decode), GetParam().c1);
}

struct SetRow {
    const char *name;
    charset::Decode decode;
    std::size_t mb_max;
    const char *locale;
    bool ascii;
    bool utf8;
};

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

TABLE(Sets, SetRow, sets_rows);

TEST_P(Sets, Told)
{
    const SetRow &row = GetParam();
    EXPECT_EQ(charset::ascii(row.mb_max, row.locale, row.decode), row.ascii);
    EXPECT_EQ(charset::is_utf8(row.decode), row.utf8);
}

// Octal escapes: three digits at most, so no letter after one is taken into it.
struct SameRow {
    const char *name;
    std::string text;  // in the character set
    std::string exact; // in UTF-8
    charset::Decode decode;
    bool same;
};

const std::vector<SameRow> same_rows = {
    {"latin1_exact", "Taste dr\374cken", "Taste dr\303\274cken", decoders::latin1, true},
    {"letter_replaced", "Taste drucken", "Taste dr\303\274cken", decoders::latin1, false},
    {"letter_left_out", "Taste drcken", "Taste dr\303\274cken", decoders::latin1, false},
    {"question_marks", "??? . . . ", "\344\275\225 . . . ", decoders::latin1, false},
    {"shorter", "Taste", "Taste dr\303\274cken", decoders::latin1, false},
    {"longer", "Taste dr\374cken!", "Taste dr\303\274cken", decoders::latin1, false},
    {"two_bytes_for_one", "\303\251", "\303\251", decoders::double_byte, false},
    {"utf8_itself", "dr\303\274cken", "dr\303\274cken", charset::utf8, true},
};

TABLE(Same, SameRow, same_rows);

TEST_P(Same, Told)
{
    const SameRow &row = GetParam();
    EXPECT_EQ(charset::same_characters(row.text.c_str(), row.exact.c_str(), row.decode), row.same);
}

} // namespace
