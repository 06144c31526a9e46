#ifndef QUILLKIT_FILESYSTEM_WILDCARD_POSIX_H_
#define QUILLKIT_FILESYSTEM_WILDCARD_POSIX_H_

// POSIX build only: file-name masks matched the way Windows matches them against long
// names, and the order in which an NTFS directory lists its entries.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillkit {
namespace posix {

/// True when the name part of a search holds '*' or '?'.
bool hasWildcards(const char* mask);

/// A file-name mask translated once (the DOS_STAR, DOS_QM and DOS_DOT forms that
/// Windows gives to '*.', '?' and '.*'/'.?'), then matched against many names.
/// A literal matches the same bytes of a name, letters without regard to ASCII case;
/// '*' and '?' step over whole characters, which may be read as UTF-8 or as code
/// page 932, from wherever a literal ended.
class WildcardMask {
 public:
  explicit WildcardMask(const std::string& mask);

  /// True when the whole name matches the mask.
  bool matches(const char* name) const;
  /// True when every name matches ("*", "*.*", "*.?", ...), so no test is needed.
  bool matchesEverything() const { return matchesEverything_; }

 private:
  enum Kind : unsigned char { Literal, Star, DosStar, DosQm, DosDot };
  struct Token {
    Kind kind;
    char upper;    // a literal's byte, upcased when it is a letter of a single-byte character
    bool anyCase;  // the literal is a single-byte character: a name's letter is upcased too
  };

  struct States;
  /// Tokens that may match nothing before the byte `c` (0: the name's end) take the
  /// state after them in `current`: one pass, since moves only go forward.
  void skipEmpty(char* current, unsigned char c) const;
  /// Each state of `current`, after the name's first `p` bytes, takes its token over the
  /// character at `p`, read each way it can be.
  void stepOver(const char* current, const unsigned char* bytes, std::size_t p,
                const unsigned char* lastDot, States& states) const;

  std::vector<Token> tokens_;
  bool matchesEverything_ = false;
};

/// Appends the sort key of a name of `length` bytes to `keys`: the name with the ASCII
/// letters of its single-byte characters in upper case, as many bytes as the name.
void appendListingKey(const char* name, std::size_t length, std::string& keys);

/// The first 8 bytes of the sort key of a name of `length` bytes, big-endian, padded
/// with zeros (no key holds a zero byte). A name whose first 8 bytes (all of them, if
/// fewer) are ASCII is folded here; any other through appendListingKey, with `scratch`
/// as its room.
uint64_t listingKeyStart(const char* name, std::size_t length, std::string& scratch);

/// A listed name and its sort key (appendListingKey), both `length` bytes.
struct ListedName {
  const char* key;
  const char* name;
  std::size_t length;
};

/// The listing order: ASCII letters folded to upper case, bytes compared unsigned, a
/// name before the longer names it begins; names equal so far compare bytewise.
bool listedBefore(const ListedName& left, const ListedName& right);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_WILDCARD_POSIX_H_
