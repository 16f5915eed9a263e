#pragma once

#include <string_view>

// A code point up to U+10FFFF as UTF-8, in the bytes of buf; the view is of those bytes. A lone surrogate
// comes out as three bytes that are not valid UTF-8: callers that must not write one replace it first.
inline std::string_view utf8Bytes(char32_t c, char (&buf)[4]) {
    if (c < 0x80) {
        buf[0] = char(c);
        return {buf, 1};
    }
    if (c < 0x800) {
        buf[0] = char(0xC0 | (c >> 6));
        buf[1] = char(0x80 | (c & 0x3F));
        return {buf, 2};
    }
    if (c < 0x10000) {
        buf[0] = char(0xE0 | (c >> 12));
        buf[1] = char(0x80 | ((c >> 6) & 0x3F));
        buf[2] = char(0x80 | (c & 0x3F));
        return {buf, 3};
    }
    buf[0] = char(0xF0 | (c >> 18));
    buf[1] = char(0x80 | ((c >> 12) & 0x3F));
    buf[2] = char(0x80 | ((c >> 6) & 0x3F));
    buf[3] = char(0x80 | (c & 0x3F));
    return {buf, 4};
}
