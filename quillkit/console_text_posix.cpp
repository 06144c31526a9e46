#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "quillkit/console_text.h"

namespace quillkit {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

/// The locale's character set where the texts are to be converted to it; empty where
/// they stay as they are.
std::string& targetCodeset() {
  static std::string codeset;
  return codeset;
}

/// Whether the console reads UTF-8, as useLocaleCharacterSet found.
bool& utf8Console() {
  static bool utf8 = false;
  return utf8;
}

/// True for "UTF-8" and "utf8" in any case, alone or as the part of a locale's name
/// after its dot.
bool namesUtf8(const char* name) {
  std::string folded;
  for (const char* at = name; *at != '\0' && *at != '@'; ++at) {
    if (*at == '.') folded.clear();
    if (*at >= 'a' && *at <= 'z')
      folded += static_cast<char>(*at - 'a' + 'A');
    else if (*at != '-' && *at != '.')
      folded += *at;
  }
  return folded == "UTF8";
}

/// The name of the locale that LC_CTYPE asks for: LC_ALL, else LC_CTYPE, else LANG.
const char* askedLocale() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}

/// From the texts' Shift-JIS to the locale's set; kNoConverter where they stay. Opened
/// at the first text that needs it: most runs print none, and loading the conversion
/// costs a start-up a good part of a millisecond.
iconv_t converter() {
  static iconv_t instance = kNoConverter;
  if (instance == kNoConverter && !targetCodeset().empty()) {
    // CP932 first: the C library's SHIFT_JIS reads 0x5C as a yen sign.
    instance = iconv_open(targetCodeset().c_str(), "CP932");
    if (instance == kNoConverter) instance = iconv_open(targetCodeset().c_str(), "SHIFT_JIS");
    if (instance == kNoConverter) targetCodeset().clear();  // asked once
  }
  return instance;
}

/// Each text converted so far, by its address.
std::map<const char*, std::string>& convertedTexts() {
  static std::map<const char*, std::string> texts;
  return texts;
}

/// The names by which C libraries call Shift-JIS and its Windows form.
bool isShiftJis(const char* codeset) {
  std::string name;
  for (const char* at = codeset; *at != '\0'; ++at) {
    if (*at >= 'a' && *at <= 'z')
      name += static_cast<char>(*at - 'a' + 'A');
    else if (*at != '-' && *at != '_')
      name += *at;
  }
  for (const char* shiftJis : {"SHIFTJIS", "SJIS", "CP932", "WINDOWS31J", "MSKANJI"})
    if (name == shiftJis) return true;
  return false;
}

bool isAscii(const char* text) {
  for (; *text != '\0'; ++text)
    if (static_cast<unsigned char>(*text) >= 0x80) return false;
  return true;
}

/// The whole text converted, or false where the set cannot write a character of it.
bool convert(const char* text, std::string& converted) {
  std::size_t inLeft = std::strlen(text);
  std::string buffer(inLeft * 4 + 16, '\0');
  char* in = const_cast<char*>(text);
  char* out = &buffer[0];
  std::size_t outLeft = buffer.size();
  iconv(converter(), nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
      iconv(converter(), nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1))
    return false;
  converted.assign(buffer.data(), buffer.size() - outLeft);
  return true;
}

}  // namespace

void useLocaleCharacterSet() {
  const char* locale = std::setlocale(LC_CTYPE, "");
  utf8Console() = namesUtf8(locale != nullptr ? nl_langinfo(CODESET) : askedLocale());
  // A locale that cannot be loaded leaves the C locale, whose texts are the reference.
  if (locale == nullptr || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0)
    return;
  const char* codeset = nl_langinfo(CODESET);
  if (!isShiftJis(codeset)) targetCodeset() = codeset;
}

bool consoleIsUtf8() { return utf8Console(); }

const char* consoleText(const char* shiftJis) {
  if (targetCodeset().empty() || isAscii(shiftJis) || converter() == kNoConverter)
    return shiftJis;
  auto known = convertedTexts().find(shiftJis);
  if (known == convertedTexts().end()) {
    std::string converted;
    if (!convert(shiftJis, converted)) converted = shiftJis;
    known = convertedTexts().emplace(shiftJis, converted).first;
  }
  return known->second.c_str();
}

}  // namespace quillkit
