#include "platform/GbkText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace quelvar::platform {

namespace {

// iconv descriptors keep state between calls and must not be shared between
// threads, so each thread opens its own.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

uint8_t Byte(const char* p) { return static_cast<uint8_t>(*p); }

bool IsContinuation(const char* p) { return (Byte(p) & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at p, 0 when there is none
// (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut short).
size_t Utf8SequenceLength(const char* p, size_t left) {
  const uint8_t lead = Byte(p);
  size_t length;
  uint32_t code;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (left < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(p + i)) return 0;
    code = (code << 6) | (Byte(p + i) & 0x3F);
  }
  if (length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) return 0;
  if (length == 4 && (code < 0x10000 || code > 0x10FFFF)) return 0;
  return length;
}

// Handles the input iconv stopped at: appends a replacement, returns the
// number of input bytes it stands for.
using Replace = size_t (*)(const char* p, size_t left, std::string& out);

size_t ReplaceUtf8(const char* p, size_t left, std::string& out) {
  out += '?';
  const size_t length = Utf8SequenceLength(p, left);
  return length == 0 ? 1 : length;
}

size_t ReplaceGbk(const char*, size_t, std::string& out) {
  out += "\xEF\xBF\xBD";  // U+FFFD
  return 1;
}

std::string Convert(const Converter& converter, std::string_view in, Replace replace) {
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  const char* p = in.data();
  size_t left = in.size();
  if (!converter.Valid()) {
    // No converter in this C library: ASCII is the same in both encodings.
    while (left > 0) {
      size_t used = 1;
      if (Byte(p) < 0x80) {
        out += *p;
      } else {
        used = replace(p, left, out);
      }
      p += used;
      left -= used;
    }
    return out;
  }
  iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
  char buffer[1024];
  while (left > 0) {
    char* target = buffer;
    size_t room = sizeof buffer;
    char* source = const_cast<char*>(p);  // iconv's signature; it only reads
    const size_t result = iconv(converter.Get(), &source, &left, &target, &room);
    p = source;
    out.append(buffer, static_cast<size_t>(target - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // EILSEQ (bad or unconvertible) or EINVAL (cut short at the end).
      const size_t used = replace(p, left, out);
      p += used;
      left -= used;
    }
  }
  return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  thread_local const Converter converter("GBK", "UTF-8");
  return Convert(converter, utf8, ReplaceUtf8);
}

std::string GbkToUtf8(std::string_view gbk) {
  thread_local const Converter converter("UTF-8", "GBK");
  return Convert(converter, gbk, ReplaceGbk);
}

void WriteGbkField(std::string_view utf8, char* field, size_t width) {
  if (width == 0) return;
  const std::string gbk = Utf8ToGbk(utf8);
  // GBK characters are one byte below 0x80, else two.
  size_t kept = 0;
  while (kept < gbk.size()) {
    const size_t length = Byte(&gbk[kept]) < 0x80 ? 1 : 2;
    if (kept + length > width - 1) break;
    kept += length;
  }
  std::memcpy(field, gbk.data(), kept);
  std::memset(field + kept, 0, width - kept);
}

std::string ReadGbkField(const char* field, size_t width) {
  if (width == 0) return {};
  const void* nul = std::memchr(field, '\0', width);
  const size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : width;
  return GbkToUtf8(std::string_view(field, length));
}

std::string FitGbk(std::string_view utf8, size_t maxBytes) {
  std::string field(maxBytes + 1, '\0');
  WriteGbkField(utf8, field.data(), field.size());
  return ReadGbkField(field.data(), field.size());
}

std::string CutToGbkBytes(std::string_view utf8, size_t maxBytes) {
  size_t used = 0;
  size_t kept = 0;
  while (kept < utf8.size()) {
    const char* p = utf8.data() + kept;
    const size_t sequence = Utf8SequenceLength(p, utf8.size() - kept);
    const size_t length = sequence == 0 ? 1 : sequence;
    // ASCII and bad bytes take one GBK byte; a character takes two, or one
    // '?' when GBK lacks it.
    const size_t bytes = length == 1 ? 1 : Utf8ToGbk(std::string_view(p, length)).size();
    if (used + bytes > maxBytes) break;
    used += bytes;
    kept += length;
  }
  return std::string(utf8.substr(0, kept));
}

}  // namespace quelvar::platform
