#pragma once

#include <array>
#include <string_view>

// Character references of HTML. Internal to the page text.
namespace html_text {

// The character a named reference stands for (the name without '&' and ';', case-sensitive): the 253 names
// of HTML 4 and XML's apos. 0 for any other name.
char32_t namedEntity(std::string_view name);

// Bytes 0x80-0x9F of windows-1252, which browsers use for every page labelled ISO-8859-1 or ASCII, and for
// numeric references to the C1 controls.
inline constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace html_text
