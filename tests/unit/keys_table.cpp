// SPDX-License-Identifier: MIT
// Keys from bytes: a script types pieces of bytes, each a gap after the one before on a clock of
// its own, and one key is read; what the key leaves is what the next reader gets.
#include "decoders.hpp"
#include "keys.hpp"
#include "table.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace
{

struct Piece {
    int after_ms;      // after the piece before: the first comes at once
    std::string bytes; // typed together
};

// A terminal that the script types into, read as input::File is.
class Script
{
  public:
    Script(const std::vector<Piece> &pieces, charset::Decode decode) : chars(decode)
    {
        long at = 0;
        for (const Piece &piece : pieces) {
            at += piece.after_ms;
            typed += piece.bytes;
            when.insert(when.end(), piece.bytes.size(), at);
        }
    }

    int byte(int wait_ms)
    {
        if (next == typed.size() || (wait_ms >= 0 && when[next] > now + wait_ms)) {
            now += std::max(wait_ms, 0);
            return -1; // the end of the wait, or of the script: input::Read::end either way
        }
        now = std::max(now, when[next]);
        return static_cast<unsigned char>(typed[next++]);
    }
    static input::Read why()
    {
        return input::Read::end;
    }
    [[nodiscard]] charset::Decode decoder() const
    {
        return chars;
    }
    void give_back()
    {
        --next;
    }
    [[nodiscard]] std::string rest() const
    {
        return typed.substr(next);
    }

  private:
    charset::Decode chars;
    std::string typed;      // the bytes, in the order they come
    std::vector<long> when; // when each comes
    std::size_t next = 0;
    long now = 0;
};

struct Row {
    const char *name;
    charset::Decode chars;
    std::vector<Piece> pieces;
    input::Read read; // what reading the key gives
    std::string rest; // what it leaves for the next reader
};

constexpr auto utf8 = charset::utf8;
constexpr auto latin1 = decoders::latin1;
constexpr auto koi8_r = decoders::koi8_r;
constexpr auto done = input::Read::done;
constexpr auto end = input::Read::end;
const auto xs = [](std::size_t count) { return std::string(count, 'x'); };

const std::vector<Row> rows = {
    {"letter", utf8, {{0, "ab"}}, done, "b"},
    {"two_byte", utf8, {{0, "\xc3\xa9x"}}, done, "x"},
    {"four_byte", utf8, {{0, "\xf0\x9f\x99\x82x"}}, done, "x"},
    {"character_in_pieces", utf8, {{0, "\xe2\x82"}, {40, "\xacx"}}, done, "x"},
    {"broken_character", utf8, {{0, "\xc3x"}}, done, "x"},
    {"lone_lead_at_end", utf8, {{0, "\xc3"}}, done, ""},
    {"arrow", utf8, {{0, "\x1b[Ax"}}, done, "x"},
    {"ctrl_arrow", utf8, {{0, "\x1b[1;5Cx"}}, done, "x"},
    {"f5", utf8, {{0, "\x1b[15~x"}}, done, "x"},
    {"ss3_f1", utf8, {{0, "\x1bOPx"}}, done, "x"},
    {"ss3_shift_f1", utf8, {{0, "\x1bO2Px"}}, done, "x"},
    {"keypad_enter", utf8, {{0, "\x1bOMx"}}, done, "x"},
    {"ss3_ctrl_enter", utf8, {{0, "\x1bO5Mx"}}, done, "x"},
    {"ss3_ctrl_up", utf8, {{0, "\x1bO5Ax"}}, done, "x"},
    {"console_f1", utf8, {{0, "\x1b[[Ax"}}, done, "x"},
    {"rxvt_shift_delete", utf8, {{0, "\x1b[3$x"}}, done, "x"},
    {"rxvt_shift_page_up", utf8, {{0, "\x1b[5$x"}}, done, "x"},
    {"csi_at", utf8, {{0, "\x1b[2@x"}}, done, "x"},
    {"alt_x", utf8, {{0, "\x1bxy"}}, done, "y"},
    {"alt_up", utf8, {{0, "\x1b\x1b[Ax"}}, done, "x"},
    {"alt_two_byte", utf8, {{0, "\x1b\xc3\xa9x"}}, done, "x"},
    {"escape", utf8, {{0, "\x1b"}}, done, ""},
    {"escape_then_letter", utf8, {{0, "\x1b"}, {100, "x"}}, done, "x"},
    {"slow_link_arrow", utf8, {{0, "\x1b"}, {30, "["}, {30, "A"}}, done, ""},
    {"paste", utf8, {{0, "\x1b[200~pasted\rtext\x1b[201~x"}}, done, "x"},
    {"paste_in_pieces", utf8, {{0, "\x1b[200~pas"}, {300, "ted"}, {400, "\x1b[201~x"}}, done, "x"},
    {"paste_ending_in_escape", utf8, {{0, "\x1b[200~text\x1b\x1b[201~x"}}, done, "x"},
    {"x10_click_then_key", utf8, {{0, "\x1b[M !!\x1b[M#!!kx"}}, done, "x"},
    {"sgr_click_then_key", utf8, {{0, "\x1b[<0;9;5M\x1b[<0;9;5mkx"}}, done, "x"},
    {"attributes_reply_then_key", utf8, {{0, "\x1b[?64;1ckx"}}, done, "x"},
    {"secondary_attributes_reply_then_key", utf8, {{0, "\x1b[>41;327;0ckx"}}, done, "x"},
    {"alt_bracket", utf8, {{0, "\x1b]"}}, done, ""},
    {"alt_p", utf8, {{0, "\x1bP"}}, done, ""},
    {"osc_reply_then_key", utf8, {{0, "\x1b]11;rgb:ffff/ffff/dddd\akx"}}, done, "x"},
    {"osc_st_reply_then_key", utf8, {{0, "\x1b]11;rgb:0/0/0\x1b\\kx"}}, done, "x"},
    {"dcs_reply_then_key", utf8, {{0, "\x1bP1$r0m\x1b\\kx"}}, done, "x"},
    {"apc_reply_then_key", utf8, {{0, "\x1b_Gi=1;OK\x1b\\kx"}}, done, "x"},
    {"pm_then_key", utf8, {{0, "\x1b^pm\x1b\\kx"}}, done, "x"},
    {"sos_then_key", utf8, {{0, "\x1bXsos\x1b\\kx"}}, done, "x"},
    {"long_reply_then_key", utf8, {{0, "\x1b]" + xs(300) + "\akx"}}, done, "x"},
    {"endless_reply_is_a_key", utf8, {{0, "\x1b]" + xs(5000)}}, done, xs(904)},
    {"reply_cut_by_end_of_input", utf8, {{0, "\x1b]11;rgb"}}, end, ""},
    {"reply_cut_by_a_gap_then_key", utf8, {{0, "\x1b]11;rgb"}, {60, "kx"}}, done, "x"},
    {"utf8_reply_holding_9c", utf8, {{0, "\x1b]11;\xc5\x9c\akx"}}, done, "x"},
    {"latin1_e_acute", latin1, {{0, "\xe9x"}}, done, "x"},
    // 8-bit controls in octal: three digits at most, so no digit or letter after one is taken in.
    {"latin1_csi8_up", latin1, {{0, "\233Ax"}}, done, "x"},
    {"latin1_ss3_8_f1", latin1, {{0, "\217Px"}}, done, "x"},
    {"latin1_osc8_reply_then_key", latin1, {{0, "\23511;rgb:0/0/0\234kx"}}, done, "x"},
    {"latin1_paste8", latin1, {{0, "\233200~abc\233201~x"}}, done, "x"},
    {"overlong_lead_leaves_what_follows", utf8, {{0, "\xe0\x80x"}}, done, "\x80x"},
    {"latin1_apc8_reply_then_key", latin1, {{0, "\237Gi=1\234kx"}}, done, "x"},
    {"latin1_alt_e_acute", latin1, {{0, "\x1b\xe9x"}}, done, "x"},
    {"koi8_r_sign_at_csi", koi8_r, {{0, "\x9bx"}}, done, "x"},
    {"koi8_r_sign_at_osc", koi8_r, {{0, "\x9dx"}}, done, "x"},
    {"end_of_input", utf8, {}, end, ""},
};

TABLE(Keys, Row, rows);

TEST_P(Keys, OneKeyReadWhole)
{
    const Row &row = GetParam();
    Script script(row.pieces, row.chars);
    EXPECT_EQ(keys::read_key(script), row.read);
    EXPECT_EQ(script.rest(), row.rest);
}

} // namespace
