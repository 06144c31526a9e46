#ifndef QUILLKIT_ASCII_H_
#define QUILLKIT_ASCII_H_

// The one fold of letter case in the program: names, masks, commands and character set
// names ignore the case of ASCII letters, and of nothing else.

#include <string>

namespace quillkit {

/// `c` in upper case where it is an ASCII letter; every other byte as it is, whatever the
/// locale (a byte of a multibyte character is never folded).
inline unsigned char upperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

/// `text` with upperAscii applied to each byte.
inline std::string upperAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace quillkit

#endif  // QUILLKIT_ASCII_H_
