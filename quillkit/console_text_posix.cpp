#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "quillkit/ascii.h"
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

/// `codeset` up to its end or `stop`, in upper case and without '-' and '_', so that
/// "utf8" and "UTF-8" compare equal.
std::string foldedCodeset(const char* codeset, char stop = '\0') {
  std::string name;
  for (const char* at = codeset; *at != '\0' && *at != stop; ++at) {
    if (*at != '-' && *at != '_')
      name += static_cast<char>(upperAscii(static_cast<unsigned char>(*at)));
  }
  return name;
}

/// The names by which C libraries call Shift-JIS and its Windows form.
bool isShiftJis(const char* codeset) {
  const std::string name = foldedCodeset(codeset);
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

/// The locale name that setlocale(LC_CTYPE, "") reads: the first of LC_ALL, LC_CTYPE
/// and LANG that is set and not empty; empty where none is.
std::string askedLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return std::string();
}

/// Whether a locale name (language_TERRITORY.codeset@modifier) names UTF-8 as its set.
bool namesUtf8(const std::string& locale) {
  const std::size_t dot = locale.find('.');
  return dot != std::string::npos && foldedCodeset(locale.c_str() + dot + 1, '@') == "UTF8";
}

}  // namespace

void useLocaleCharacterSet() {
  const char* locale = std::setlocale(LC_CTYPE, "");
  // A locale that is not installed leaves the C locale. Its name still tells what the
  // terminal shows when it says UTF-8 (containers and small systems often lack the
  // locale); otherwise the texts are the reference bytes.
  if (locale == nullptr) {
    utf8Console() = namesUtf8(askedLocaleName());
    if (utf8Console()) targetCodeset() = "UTF-8";
    return;
  }
  if (std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0) return;
  const char* codeset = nl_langinfo(CODESET);
  utf8Console() = foldedCodeset(codeset) == "UTF8";
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
