#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quelvar::platform {

// Text is UTF-8 in memory and GBK in everything the program stores or sends
// (record fields, record-file comments, configuration, page and text files).
// These convert at that boundary. Safe to call from any thread.

// A character GBK cannot hold becomes one '?'; so does each byte that does not
// start a valid UTF-8 sequence.
std::string Utf8ToGbk(std::string_view utf8);

// Each bad or incomplete GBK lead byte becomes U+FFFD; decoding goes on with
// the byte after it.
std::string GbkToUtf8(std::string_view gbk);

// Fixed-width record fields: NUL-terminated GBK, cut to width - 1 bytes
// without splitting a two-byte character, the rest zero-filled. Nothing is
// written when width is 0.
void WriteGbkField(std::string_view utf8, char* field, size_t width);

// Up to the first NUL or `width` bytes, whichever comes first.
std::string ReadGbkField(const char* field, size_t width);

// The text as it survives a GBK field of `maxBytes` bytes plus its NUL: cut
// at a character boundary (and with characters GBK lacks as '?').
std::string FitGbk(std::string_view utf8, size_t maxBytes);

// The longest beginning of the UTF-8 text whose GBK form takes at most
// `maxBytes` bytes, cut at a character boundary; unlike FitGbk the kept
// characters stay as they are (one GBK lacks counts as its one '?', so does
// each byte of a broken sequence).
std::string CutToGbkBytes(std::string_view utf8, size_t maxBytes);

}  // namespace quelvar::platform
