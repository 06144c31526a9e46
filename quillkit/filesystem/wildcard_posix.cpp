#include "quillkit/filesystem/wildcard_posix.h"

#include <algorithm>
#include <cstring>

#include "quillkit/ascii.h"
#include "quillkit/filesystem/utility.h"

namespace quillkit {
namespace posix {

namespace {

/// Bytes of the character that starts at `p`: a valid UTF-8 sequence, else a Shift-JIS
/// pair, else one byte. '?' takes one character, as Windows takes one UTF-16 unit.
size_t characterLength(const unsigned char* p) {
  const unsigned char c = p[0];
  if (c < 0x80) return 1;
  size_t length = 0;
  if (c >= 0xC2 && c <= 0xDF)
    length = 2;
  else if (c >= 0xE0 && c <= 0xEF)
    length = 3;
  else if (c >= 0xF0 && c <= 0xF4)
    length = 4;
  if (length != 0) {
    size_t i = 1;
    while (i < length && (p[i] & 0xC0) == 0x80) ++i;
    if (i == length) return length;
  }
  return isCodePageLeadByte(c) && isTrailByte(p[1]) ? 2 : 1;
}

/// Bytes of the character at `p` as code page 932 reads it: a pair, else one byte. It
/// differs from characterLength where the bytes also form UTF-8 ("\xC2\xB1" is ﾂｱ).
size_t codePageLength(const unsigned char* p) {
  return isCodePageLeadByte(p[0]) && isTrailByte(p[1]) ? 2 : 1;
}

/// Walks a name character by character and gives each byte as the listing and the
/// masks compare it: ASCII letters upcased, bytes of a multi-byte character as they are
/// (the second byte of a Shift-JIS pair may look like a lower-case letter).
class FoldedBytes {
 public:
  explicit FoldedBytes(const char* text) : p_(reinterpret_cast<const unsigned char*>(text)) {}
  unsigned char next() {
    if (rest_ == 0) {
      rest_ = characterLength(p_);
      single_ = rest_ == 1;
    }
    --rest_;
    unsigned char c = *p_++;
    return single_ ? upperAscii(c) : c;
  }

 private:
  const unsigned char* p_;
  size_t rest_ = 0;
  bool single_ = true;
};

}  // namespace

bool hasWildcards(const char* mask) { return std::strpbrk(mask, "*?") != nullptr; }

WildcardMask::WildcardMask(const std::string& mask) {
  const bool endedWithDot = !mask.empty() && mask.back() == '.';
  std::string stripped = mask;
  while (!stripped.empty() && (stripped.back() == '.' || stripped.back() == ' '))
    stripped.pop_back();

  tokens_.reserve(stripped.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(stripped.c_str());
  size_t rest = 0;  // bytes left of the mask's current character
  bool single = true;
  for (size_t i = 0; i < stripped.size(); ++i) {
    if (rest == 0) {
      rest = characterLength(bytes + i);
      single = rest == 1;
    }
    --rest;
    const char c = stripped[i];
    const char following = i + 1 < stripped.size() ? stripped[i + 1] : '\0';
    if (c == '*') {
      tokens_.push_back({Star, 0, false});
    } else if (c == '?') {
      tokens_.push_back({DosQm, 0, false});
    } else if (c == '.' && (following == '*' || following == '?')) {
      tokens_.push_back({DosDot, 0, false});
    } else {
      const unsigned char upper = single ? upperAscii(bytes[i]) : bytes[i];
      tokens_.push_back({Literal, static_cast<char>(upper), single});
    }
  }
  // "name*." keeps to the part before the last dot: the final star becomes DOS_STAR.
  if (endedWithDot && !tokens_.empty() && tokens_.back().kind == Star)
    tokens_.back().kind = DosStar;

  // A leading star can take the whole name when everything after it may match nothing
  // at the end of a name: then every name matches.
  matchesEverything_ = !tokens_.empty() && tokens_.front().kind == Star &&
                       std::all_of(tokens_.begin() + 1, tokens_.end(),
                                   [](const Token& t) { return t.kind != Literal; });
}

/// The states of one match. A literal takes one byte and a wildcard one character, which
/// may be read two ways, so the states run ahead by up to a character's 4 bytes: row
/// (p % kRows) holds state j when the first j tokens have matched the name's first p
/// bytes.
struct WildcardMask::States {
  static constexpr std::size_t kRows = 5;
  explicit States(std::size_t tokens) : width(tokens + 1), rows(kRows * width, 0) {
    rows[0] = 1;
  }
  char* row(std::size_t p) { return &rows[(p % kRows) * width]; }
  /// State `state` holds after `length` more bytes than `p`.
  void reach(std::size_t p, std::size_t length, std::size_t state) {
    row(p + length)[state] = 1;
    furthest = std::max(furthest, p + length);
  }
  const std::size_t width;
  std::vector<char> rows;
  /// The furthest position that any state has reached.
  std::size_t furthest = 0;
};

bool WildcardMask::matches(const char* name) const {
  if (matchesEverything_) return true;
  const auto* bytes = reinterpret_cast<const unsigned char*>(name);
  const auto* lastDot = reinterpret_cast<const unsigned char*>(std::strrchr(name, '.'));
  States states(tokens_.size());
  for (std::size_t p = 0;; ++p) {
    char* current = states.row(p);
    skipEmpty(current, bytes[p]);
    if (bytes[p] == '\0') return current[tokens_.size()] != 0;
    stepOver(current, bytes, p, lastDot, states);
    std::fill(current, current + states.width, 0);
    if (states.furthest <= p) return false;
  }
}

void WildcardMask::skipEmpty(char* current, unsigned char c) const {
  const bool atEnd = c == '\0';
  for (std::size_t j = 0; j < tokens_.size(); ++j) {
    if (!current[j]) continue;
    switch (tokens_[j].kind) {
      case Star:
      case DosStar:
        current[j + 1] = 1;
        break;
      case DosQm:
        if (atEnd || c == '.') current[j + 1] = 1;
        break;
      case DosDot:
        if (atEnd) current[j + 1] = 1;
        break;
      case Literal:
        break;
    }
  }
}

void WildcardMask::stepOver(const char* current, const unsigned char* bytes, std::size_t p,
                            const unsigned char* lastDot, States& states) const {
  const unsigned char c = bytes[p];
  // UTF-8 first, as the listing reads names, or code page 932 as Windows reads them.
  const std::size_t lengths[2] = {characterLength(bytes + p), codePageLength(bytes + p)};
  const std::size_t readings = lengths[0] == lengths[1] ? 1 : 2;
  auto eachReading = [&](std::size_t state) {
    for (std::size_t r = 0; r < readings; ++r) states.reach(p, lengths[r], state);
  };
  const std::size_t count = tokens_.size();
  for (std::size_t j = 0; j < count; ++j) {
    if (!current[j]) continue;
    const Token& token = tokens_[j];
    switch (token.kind) {
      case Star:
        eachReading(j);
        break;
      case DosStar:
        // Runs up to the last dot and may end by swallowing it.
        if (bytes + p == lastDot)
          states.reach(p, 1, j + 1);
        else
          eachReading(j);
        break;
      case DosQm:
        // One character other than a dot; as the mask's last element it also takes a
        // dot, as the reference automaton does.
        if (c != '.' || j + 1 == count) eachReading(j + 1);
        break;
      case DosDot:
        if (c == '.') states.reach(p, 1, j + 1);
        break;
      case Literal:
        // The same byte; a letter of a single-byte character in either case.
        if ((token.anyCase ? upperAscii(c) : c) == static_cast<unsigned char>(token.upper))
          states.reach(p, 1, j + 1);
        break;
    }
  }
}

void appendListingKey(const char* name, std::size_t length, std::string& keys) {
  const std::size_t start = keys.size();
  keys.append(name, length);
  char* key = &keys[start];
  // ASCII is folded byte by byte; from the first other byte on, character by character.
  std::size_t i = 0;
  for (; i < length && static_cast<unsigned char>(key[i]) < 0x80; ++i)
    key[i] = static_cast<char>(upperAscii(static_cast<unsigned char>(key[i])));
  FoldedBytes folded(name + i);
  for (; i < length; ++i) key[i] = static_cast<char>(folded.next());
}

uint64_t listingKeyStart(const char* name, std::size_t length, std::string& scratch) {
  unsigned char head[8] = {};  // the name's first bytes, then zeros
  std::memcpy(head, name, std::min<std::size_t>(length, 8));
  uint64_t start = 0;
  for (const unsigned char c : head) start = start << 8 | c;
  constexpr uint64_t kEachByte = 0x0101010101010101u;
  constexpr uint64_t kHighBits = 0x80 * kEachByte;
  if ((start & kHighBits) == 0) {
    // ASCII: the 8 bytes upcased at once. Below 0x80, adding 0x80 - 'a' sets a byte's
    // high bit from 'a' on, adding 0x80 - 'z' - 1 from past 'z', and no byte carries.
    const uint64_t fromA = start + (0x80 - 'a') * kEachByte;
    const uint64_t pastZ = start + (0x80 - 'z' - 1) * kEachByte;
    const uint64_t lower = fromA & ~pastZ & kHighBits;
    return start - (lower >> 2);  // 0x80 >> 2 is 'a' - 'A'
  }
  // Past ASCII, folding reads on in the name to find where characters end.
  scratch.clear();
  appendListingKey(name, std::min<std::size_t>(length, 8), scratch);
  start = 0;
  for (std::size_t i = 0; i < 8; ++i)
    start = start << 8 | (i < scratch.size() ? static_cast<unsigned char>(scratch[i]) : 0u);
  return start;
}

bool listedBefore(const ListedName& left, const ListedName& right) {
  const int byKey = std::memcmp(left.key, right.key, std::min(left.length, right.length));
  if (byKey != 0) return byKey < 0;
  if (left.length != right.length) return left.length < right.length;
  return std::memcmp(left.name, right.name, left.length) < 0;
}

}  // namespace posix
}  // namespace quillkit
