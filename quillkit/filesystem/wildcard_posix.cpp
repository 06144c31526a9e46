#include "quillkit/filesystem/wildcard_posix.h"

#include <algorithm>
#include <cstring>

namespace quillkit {

namespace {

inline unsigned char upperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

}  // namespace

bool hasWildcards(const char* mask) { return std::strpbrk(mask, "*?") != nullptr; }

WildcardMask::WildcardMask(const std::string& mask) {
  const bool endedWithDot = !mask.empty() && mask.back() == '.';
  std::string stripped = mask;
  while (!stripped.empty() && (stripped.back() == '.' || stripped.back() == ' '))
    stripped.pop_back();

  tokens_.reserve(stripped.size());
  for (size_t i = 0; i < stripped.size(); ++i) {
    const char c = stripped[i];
    const char following = i + 1 < stripped.size() ? stripped[i + 1] : '\0';
    if (c == '*') {
      tokens_.push_back({kStar, 0});
    } else if (c == '?') {
      tokens_.push_back({kDosQm, 0});
    } else if (c == '.' && (following == '*' || following == '?')) {
      tokens_.push_back({kDosDot, 0});
    } else {
      tokens_.push_back(
          {kLiteral, static_cast<char>(upperAscii(static_cast<unsigned char>(c)))});
    }
  }
  // "name*." keeps to the part before the last dot: the final star becomes DOS_STAR.
  if (endedWithDot && !tokens_.empty() && tokens_.back().kind == kStar)
    tokens_.back().kind = kDosStar;

  // A leading star can take the whole name when everything after it may match nothing
  // at the end of a name: then every name matches.
  matchesEverything_ = !tokens_.empty() && tokens_.front().kind == kStar &&
                       std::all_of(tokens_.begin() + 1, tokens_.end(),
                                   [](const Token& t) { return t.kind != kLiteral; });
}

bool WildcardMask::matches(const char* name) const {
  if (matchesEverything_) return true;
  const size_t count = tokens_.size();
  const char* lastDot = std::strrchr(name, '.');
  // current[j]: the first j tokens have matched the name read so far.
  std::vector<char> current(count + 1, 0);
  std::vector<char> next(count + 1, 0);
  current[0] = 1;
  for (const char* p = name;; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    const bool atEnd = c == '\0';
    // Tokens that may match nothing here; moves only go forward, so one pass suffices.
    for (size_t j = 0; j < count; ++j) {
      if (!current[j]) continue;
      switch (tokens_[j].kind) {
        case kStar:
        case kDosStar:
          current[j + 1] = 1;
          break;
        case kDosQm:
          if (atEnd || c == '.') current[j + 1] = 1;
          break;
        case kDosDot:
          if (atEnd) current[j + 1] = 1;
          break;
        case kLiteral:
          break;
      }
    }
    if (atEnd) return current[count] != 0;

    std::fill(next.begin(), next.end(), 0);
    bool alive = false;
    for (size_t j = 0; j < count; ++j) {
      if (!current[j]) continue;
      const Token& token = tokens_[j];
      switch (token.kind) {
        case kStar:
          next[j] = 1;
          break;
        case kDosStar:
          // Runs up to the last dot and may end by swallowing it.
          if (p != lastDot)
            next[j] = 1;
          else
            next[j + 1] = 1;
          break;
        case kDosQm:
          // One character other than a dot; as the mask's last element it also takes a
          // dot, as the reference automaton does.
          if (c != '.' || j + 1 == count) next[j + 1] = 1;
          break;
        case kDosDot:
          if (c == '.') next[j + 1] = 1;
          break;
        case kLiteral:
          if (upperAscii(c) == static_cast<unsigned char>(token.upper)) next[j + 1] = 1;
          break;
      }
    }
    for (size_t j = 0; j <= count && !alive; ++j) alive = next[j] != 0;
    if (!alive) return false;
    current.swap(next);
  }
}

bool entryNameLess(const std::string& left, const std::string& right) {
  const size_t common = std::min(left.size(), right.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char a = upperAscii(static_cast<unsigned char>(left[i]));
    const unsigned char b = upperAscii(static_cast<unsigned char>(right[i]));
    if (a != b) return a < b;
  }
  if (left.size() != right.size()) return left.size() < right.size();
  return left < right;
}

}  // namespace quillkit
