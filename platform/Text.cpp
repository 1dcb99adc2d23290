#include "platform/Text.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/sortkey.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <clocale>
#include <cstring>

namespace sonalog::platform {

namespace {

// Windows-1252 bytes 0x80..0x9F; undefined positions keep their byte value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not a valid sequence.
size_t utf8SequenceLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t len;
  char32_t min;
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) { len = 2; min = 0x80; }
  else if ((c & 0xF0) == 0xE0) { len = 3; min = 0x800; }
  else if ((c & 0xF8) == 0xF0) { len = 4; min = 0x10000; }
  else return 0;
  if (i + len > s.size()) return 0;
  char32_t cp = c & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    const auto cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cc & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

icu::UnicodeString toUnicode(std::string_view s) {
  if (isValidUtf8(s)) return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
  icu::UnicodeString u;
  for (unsigned char c : s) u.append(static_cast<UChar32>(cp1252ToCodePoint(c)));
  return u;
}

icu::Locale userLocale() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  std::string loc = name ? name : "C";
  if (loc == "C" || loc == "POSIX" || loc.empty()) {
    for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
      const char* v = std::getenv(var);
      if (v && *v) { loc = v; break; }
    }
  }
  if (loc == "C" || loc == "POSIX" || loc.rfind("C.", 0) == 0 || loc.empty()) return icu::Locale::getRoot();
  const auto dot = loc.find('.');
  return icu::Locale(loc.substr(0, dot).c_str());
}

}  // namespace

bool isValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const size_t len = utf8SequenceLength(s, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

char32_t cp1252ToCodePoint(unsigned char b) {
  return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : b;
}

std::u32string decodeText(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  forEachCodePoint(s, [&](char32_t c) { out.push_back(c); });
  return out;
}

std::string encodeUtf8(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t cp : s) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::string toDisplayUtf8(std::string_view s) {
  if (isValidUtf8(s)) return std::string(s);
  return encodeUtf8(decodeText(s));
}

std::string_view cutBytes(std::string_view s, size_t maxBytes) {
  if (s.size() <= maxBytes) return s;
  if (!isValidUtf8(s)) return s.substr(0, maxBytes);
  size_t cut = maxBytes;
  while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
  return s.substr(0, cut);
}

struct Collator::Impl {
  std::unique_ptr<icu::Collator> collator;
};

Collator::Collator(bool caseSensitive) : impl_(std::make_unique<Impl>()) {
  UErrorCode status = U_ZERO_ERROR;
  impl_->collator.reset(icu::Collator::createInstance(userLocale(), status));
  if (U_FAILURE(status) || !impl_->collator) {
    status = U_ZERO_ERROR;
    impl_->collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
  }
  impl_->collator->setStrength(caseSensitive ? icu::Collator::TERTIARY : icu::Collator::SECONDARY);
}

Collator::~Collator() = default;

std::string Collator::key(std::string_view s) const {
  const icu::UnicodeString u = toUnicode(s);
  std::string out(u.length() * 4 + 16, '\0');
  int32_t n = impl_->collator->getSortKey(u, reinterpret_cast<uint8_t*>(out.data()), static_cast<int32_t>(out.size()));
  if (n > static_cast<int32_t>(out.size())) {
    out.resize(n);
    n = impl_->collator->getSortKey(u, reinterpret_cast<uint8_t*>(out.data()), n);
  }
  out.resize(n > 0 ? n - 1 : 0);  // drop the terminating zero
  return out;
}

int Collator::compare(std::string_view a, std::string_view b) const {
  UErrorCode status = U_ZERO_ERROR;
  return impl_->collator->compare(toUnicode(a), toUnicode(b), status);
}

std::string foldCase(std::string_view s) {
  icu::UnicodeString u = toUnicode(s);
  u.foldCase();
  std::string out;
  u.toUTF8String(out);
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a == b) return true;
  return foldCase(a) == foldCase(b);
}

}  // namespace sonalog::platform
