#ifndef PELQUIST_FUZZ_CHECK_H_
#define PELQUIST_FUZZ_CHECK_H_

// What the fuzz targets share: a property check that ends the run with a readable
// report, the input split into NUL-separated pieces, and bytes shown as C escapes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

/// `text` as a C string literal: printable ASCII as it is, every other byte as \xHH.
inline std::string escaped(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    }
  }
  return out + "\"";
}

/// Reports a violated property with what it was checked on, then aborts (libFuzzer
/// keeps the input as a crash artifact).
[[noreturn]] inline void fail(const char* file, int line, const char* property,
                              const std::string& details) {
  std::fprintf(stderr, "\n%s:%d: property violated: %s\n%s\n", file, line, property,
               details.c_str());
  std::fflush(stderr);
  std::abort();
}

/// The input as pieces between NUL bytes ("a\0b" gives "a" and "b"; "" gives one empty
/// piece), at most `limit` of them; the rest of the input is left out.
inline std::vector<std::string> pieces(const uint8_t* data, size_t size, size_t limit) {
  std::vector<std::string> result(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] != 0) {
      result.back() += static_cast<char>(data[i]);
    } else if (result.size() == limit) {
      break;
    } else {
      result.emplace_back();
    }
  }
  return result;
}

}  // namespace fuzz

/// Aborts with the property's text and `details` (a std::string) unless it holds.
#define FUZZ_CHECK(property, details)                                      \
  do {                                                                     \
    if (!(property)) ::fuzz::fail(__FILE__, __LINE__, #property, details); \
  } while (0)

#endif  // PELQUIST_FUZZ_CHECK_H_
