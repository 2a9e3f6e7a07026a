// SPDX-License-Identifier: MIT
// Keys from the bytes a terminal sends, each read whole; replies and mouse reports passed over.
#include "keys.hpp"

#include "input.hpp"
#include "language.hpp"

namespace keys
{
namespace
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
// What a bracketed paste holds, up to and with its end, ESC [ 201 ~: the paste is one action.
void skip_paste()
{
    constexpr const char *end = "\x1b[201~";
    int matched = 0;
    while (end[matched] != '\0') {
        const int c = input::byte(paste_gap_ms);
        if (c < 0) {
            return;
        }
        matched = c == end[matched] ? matched + 1 : c == esc ? 1 : 0;
    }
}

// The rest of a terminal's reply to a query, after its introducer: a control string (OSC, DCS,
// APC, PM or SOS) up to its end, BEL or ST (ESC then a backslash, or 0x9c where that is a C1
// control). Returns false for a reply, even one cut short; true where nothing follows the
// introducer in time (Alt+] or Alt+P typed) or the string goes on past any reply's length.
bool finish_reply()
{
    for (int len = 0; len < reply_max; ++len) {
        const int c = input::byte(key_gap_ms);
        if (c < 0) {
            return len == 0 || input::why_none() != input::Read::end;
        }
        if (c == esc) { // ST, or a string cut short by another sequence: its end either way
            (void)input::byte(key_gap_ms);
            return false;
        }
        if (c == '\a' || (c == st8 && c1_control(c))) {
            return false;
        }
    }
    return true;
}

// OSC, DCS, APC, PM and SOS, as the byte after Escape; as 8-bit controls, each is 0x40 more.
bool introduces_reply(int c)
{
    return c == ']' || c == 'P' || c == '_' || c == '^' || c == 'X';
}

// The rest of a CSI or SS3 sequence: parameter and intermediate bytes, then the final byte, which
// rxvt's `$` (Shift+Delete: ESC [ 3 $) also is. Returns false for a mouse report.
bool finish_sequence(bool csi)
{
    int c = input::byte(key_gap_ms);
    if (csi && c == '[') { // the Linux console's F1 to F5: ESC [ [ A to E
        (void)input::byte(key_gap_ms);
        return true;
    }
    if (csi && c == 'M') { // X10 mouse report: button, column, row
        for (int i = 0; i < 3; ++i) {
            (void)input::byte(key_gap_ms);
        }
        return false;
    }
    const bool sgr_mouse = csi && c == '<';
    int first = 0; // the first parameter, which tells a paste
    bool in_first = true;
    while (c >= 0x20 && c < 0x40 && c != '$') {
        in_first = in_first && c >= '0' && c <= '9';
        if (in_first && first < 1000) {
            first = first * 10 + (c - '0');
        }
        c = input::byte(key_gap_ms);
    }
    if (csi && c == '~' && first == 200) {
        skip_paste();
    }
    return !sgr_mouse;
}

// The rest of a key that began with Escape: nothing (Escape itself), a CSI or SS3 sequence, or
// another key or sequence held with Alt.
bool finish_escape()
{
    int c = input::byte(key_gap_ms);
    if (c == esc) { // Alt with a key that sends Escape itself
        c = input::byte(key_gap_ms);
    } else if (introduces_reply(c)) {
        return finish_reply();
    }
    if (c == '[' || c == 'O') {
        return finish_sequence(c == '[');
    }
    input::finish_char(c, key_gap_ms);
    return true;
}

} // namespace

input::Read read_key(int fd)
{
    input::use(fd);
    for (;;) {
        const int c = input::byte(-1);
        if (c < 0) {
            return input::why_none();
        }
        bool key = true;
        if (c == esc) {
            key = finish_escape();
        } else if (c1_control(c) && introduces_reply(c - 0x40)) {
            key = finish_reply();
        } else if ((c == csi8 || c == ss3_8) && c1_control(c)) {
            key = finish_sequence(c == csi8);
        } else {
            input::finish_char(c, key_gap_ms);
        }
        if (key) {
            return input::Read::done;
        }
    }
}

} // namespace keys
