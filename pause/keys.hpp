// SPDX-License-Identifier: MIT
// Keys from the bytes a terminal sends: a character in the locale's character set, an escape
// sequence, a paste, each read whole; a terminal's reply to a query and a mouse report are no
// keys and are passed over. The bytes come from a Source, as input::File has it (byte, why,
// decoder, give_back), so that a script of bytes and a clock of its own can stand in for it.
#pragma once

#include "character.hpp"
#include "charset.hpp"
#include "input.hpp"

namespace keys
{

constexpr int esc = 0x1b;
constexpr int csi8 = 0x9b;
constexpr int ss3_8 = 0x8f;
constexpr int st8 = 0x9c;
// A key's bytes arrive together; a gap this long after an Escape means the Escape was the key.
constexpr int key_gap_ms = 50;
// A paste may come in pieces, further apart than a key's bytes.
constexpr int paste_gap_ms = 500;
// A terminal's reply to a query is not a key, however long; one that never ends is taken for one.
constexpr int reply_max = 4096;

// What a bracketed paste holds, up to and with its end, ESC [ 201 ~ (or CSI 201 ~, where that is
// a C1 control): the paste is one action.
template <class Source> void skip_paste(Source &in)
{
    constexpr const char *end = "\x1b[201~";
    for (int matched = 0; end[matched] != '\0';) {
        const int c = in.byte(paste_gap_ms);
        if (c < 0) {
            return;
        }
        const bool csi = c == csi8 && charset::c1_control(c, in.decoder());
        matched = csi ? 2 : c == end[matched] ? matched + 1 : c == esc ? 1 : 0;
    }
}

// OSC, DCS, APC, PM and SOS, as the byte after Escape; as 8-bit controls, each is 0x40 more.
constexpr bool introduces_reply(int c)
{
    return c == ']' || c == 'P' || c == '_' || c == '^' || c == 'X';
}

// The rest of a terminal's reply to a query, after its introducer: a control string up to its
// end, BEL or ST (ESC then a backslash, or 0x9c where that is a C1 control). Returns false for a
// reply, even one cut short; true where nothing follows the introducer in time (Alt+] or Alt+P
// typed) or the string goes on past any reply's length.
template <class Source> bool finish_reply(Source &in)
{
    for (int len = 0; len < reply_max; ++len) {
        const int c = in.byte(key_gap_ms);
        if (c < 0) {
            return len == 0 || in.why() != input::Read::end;
        }
        if (c == esc) { // ST, or a string cut short by another sequence: its end either way
            (void)in.byte(key_gap_ms);
            return false;
        }
        if (c == '\a' || (c == st8 && charset::c1_control(c, in.decoder()))) {
            return false;
        }
    }
    return true;
}

// The rest of a CSI or SS3 sequence: parameter and intermediate bytes, then the final byte, which
// rxvt's `$` (Shift+Delete: ESC [ 3 $) also is. Returns false for a mouse report, and for a
// sequence whose parameters open with a private marker (< = > ?): a terminal's reply, such as
// its attributes (ESC [ ? 64 ; 1 c), or an SGR mouse report (ESC [ < 0 ; 9 ; 5 M); no key
// sends one.
template <class Source> bool finish_sequence(Source &in, bool csi)
{
    int c = in.byte(key_gap_ms);
    if (csi && c == '[') { // the Linux console's F1 to F5: ESC [ [ A to E
        (void)in.byte(key_gap_ms);
        return true;
    }
    if (csi && c == 'M') { // X10 mouse report: button, column, row
        for (int i = 0; i < 3; ++i) {
            (void)in.byte(key_gap_ms);
        }
        return false;
    }
    const bool private_marker = csi && c >= '<' && c <= '?';
    int first = 0; // the first parameter, which tells a paste
    for (bool in_first = true; c >= 0x20 && c < 0x40 && c != '$'; c = in.byte(key_gap_ms)) {
        in_first = in_first && c >= '0' && c <= '9';
        first = in_first && first < 1000 ? first * 10 + (c - '0') : first;
    }
    if (csi && c == '~' && first == 200) {
        skip_paste(in);
    }
    return !private_marker;
}

// The rest of a key that began with Escape: nothing (Escape itself), a CSI or SS3 sequence, or
// another key or sequence held with Alt.
template <class Source> bool finish_escape(Source &in)
{
    int c = in.byte(key_gap_ms);
    if (c == esc) { // Alt with a key that sends Escape itself
        c = in.byte(key_gap_ms);
    } else if (introduces_reply(c)) {
        return finish_reply(in);
    }
    if (c == '[' || c == 'O') {
        return finish_sequence(in, c == '[');
    }
    character::finish(in, c, key_gap_ms);
    return true;
}

// Reads one key from a terminal in key mode. Where the character set has C1 controls, 0x9b and
// 0x8f begin sequences as CSI and SS3 do, and 0x90, 0x98, 0x9d, 0x9e and 0x9f replies.
template <class Source> input::Read read_key(Source &in)
{
    for (;;) {
        const int c = in.byte(-1);
        if (c < 0) {
            return in.why();
        }
        const bool c1 = charset::c1_control(c, in.decoder());
        bool key = true;
        if (c == esc) {
            key = finish_escape(in);
        } else if (c1 && introduces_reply(c - 0x40)) {
            key = finish_reply(in);
        } else if (c1 && (c == csi8 || c == ss3_8)) {
            key = finish_sequence(in, c == csi8);
        } else {
            character::finish(in, c, key_gap_ms);
        }
        if (key) {
            return input::Read::done;
        }
    }
}

} // namespace keys
