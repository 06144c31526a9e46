// Properties of the POSIX build's file-name masks and listing order. The input is
// NUL-separated strings: a mask, then names.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "quillkit/filesystem/wildcard_posix.h"
#include "tests/support/fuzz_check.h"
#include "tests/support/listing_order.h"

namespace {

using quillkit::posix::WildcardMask;

const size_t kMaxNames = 8;

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }
bool shiftJisLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
bool shiftJisTrail(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

/// The characters of a name as the matcher and the listing read it: a well-formed UTF-8
/// sequence (lead byte with its continuation bytes), else a Shift-JIS pair, else one byte.
std::vector<std::string> characters(const std::string& name) {
  std::vector<std::string> result;
  size_t i = 0;
  while (i < name.size()) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    size_t length = 1;
    const size_t utf8 = c >= 0xC2 && c <= 0xDF   ? 2
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xF0 && c <= 0xF4 ? 4
                                                 : 0;
    size_t k = 1;
    while (k < utf8 && i + k < name.size() &&
           continuation(static_cast<unsigned char>(name[i + k])))
      ++k;
    if (utf8 != 0 && k == utf8)
      length = utf8;
    else if (shiftJisLead(c) && i + 1 < name.size() &&
             shiftJisTrail(static_cast<unsigned char>(name[i + 1])))
      length = 2;
    result.push_back(name.substr(i, length));
    i += length;
  }
  return result;
}

/// ASCII letters that are characters of their own in upper case; everything else,
/// bytes of longer characters included, as it is.
std::string folded(const std::string& name) {
  std::string result;
  for (const std::string& character : characters(name)) {
    if (character.size() == 1 && character[0] >= 'a' && character[0] <= 'z')
      result += static_cast<char>(character[0] - 'a' + 'A');
    else
      result += character;
  }
  return result;
}

/// Every ASCII letter in upper case, whatever character it belongs to.
std::string allUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

/// A mask as Windows reads it: trailing dots and spaces are not part of it.
std::string withoutTrailingDotsAndSpaces(std::string mask) {
  while (!mask.empty() && (mask.back() == '.' || mask.back() == ' ')) mask.pop_back();
  return mask;
}

bool hasWildcard(const std::string& text) {
  return text.find_first_of("*?") != std::string::npos;
}

/// A mask made from a name, character by character: kept (a letter perhaps in the other
/// case), made '?' (never a '.'), or, for one run of characters, a single '*'.
struct MadeMask {
  enum Kind { kKept, kQuestion, kInStar };
  std::string mask;
  std::vector<Kind> kinds;  // one per character of the name
  bool star = false;
};

MadeMask maskFor(const std::vector<std::string>& parts, std::minstd_rand& random) {
  MadeMask made;
  size_t starFrom = parts.size() + 1, starTo = 0;
  if (!parts.empty() && random() % 3 == 0) {
    starFrom = random() % (parts.size() + 1);
    starTo = starFrom + random() % (parts.size() - starFrom + 1);
    made.star = true;
  }
  for (size_t i = 0; i <= parts.size(); ++i) {
    if (i == starFrom) made.mask += '*';
    if (i == parts.size()) break;
    if (i >= starFrom && i < starTo) {
      made.kinds.push_back(MadeMask::kInStar);
      continue;
    }
    const std::string& character = parts[i];
    const unsigned pick = random() % 4;
    const char c = character[0];
    const bool letter =
        character.size() == 1 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    if (pick == 0 && character != ".") {
      made.mask += '?';
      made.kinds.push_back(MadeMask::kQuestion);
      continue;
    }
    made.mask += pick == 1 && letter ? std::string(1, static_cast<char>(c ^ 0x20)) : character;
    made.kinds.push_back(MadeMask::kKept);
  }
  return made;
}

std::string joined(std::vector<std::string> parts, size_t at, const std::string& replacement) {
  parts[at] = replacement;
  std::string name;
  for (const std::string& part : parts) name += part;
  return name;
}

/// A mask made from the name matches it. Without '*', mask and name are matched character
/// by character, so a name with one kept character changed, or with a '.' where a '?'
/// stands that is not the mask's last, does not match.
void checkMadeMask(const std::string& name, std::minstd_rand& random) {
  const std::vector<std::string> parts = characters(name);
  const MadeMask made = maskFor(parts, random);
  // A mask that ends in '.' or ' ' loses them, and its last '*' changes meaning.
  if (made.mask.empty() || made.mask.back() == '.' || made.mask.back() == ' ') return;
  const WildcardMask mask(made.mask);
  auto shown = [&](const std::string& other) {
    return "made mask " + fuzz::escaped(made.mask) + " name " + fuzz::escaped(other);
  };
  FUZZ_CHECK(mask.matches(name.c_str()), shown(name));
  // Wildcard characters of the name itself would be wildcards in the mask.
  if (made.star || hasWildcard(name)) return;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string other;
    if (made.kinds[i] == MadeMask::kKept)
      other = joined(parts, i, parts[i] == "#" ? "$" : "#");
    else if (made.kinds[i] == MadeMask::kQuestion && i + 1 < parts.size())
      other = joined(parts, i, ".");
    else
      continue;
    FUZZ_CHECK(!mask.matches(other.c_str()), shown(other));
  }
}

void checkMatching(const std::string& mask, const std::vector<std::string>& names,
                   std::minstd_rand& random) {
  FUZZ_CHECK(quillkit::posix::hasWildcards(mask.c_str()) == hasWildcard(mask),
             "mask " + fuzz::escaped(mask));
  const WildcardMask star("*"), starDotStar("*.*"), typed(mask);
  FUZZ_CHECK(star.matchesEverything() && starDotStar.matchesEverything(), "* and *.*");
  const std::string stripped = withoutTrailingDotsAndSpaces(mask);

  for (const std::string& name : names) {
    auto shown = [&] { return "mask " + fuzz::escaped(mask) + " name " + fuzz::escaped(name); };
    FUZZ_CHECK(star.matches(name.c_str()) && starDotStar.matches(name.c_str()), shown());

    const bool matched = typed.matches(name.c_str());
    if (!hasWildcard(mask)) {
      // Without wildcards, a mask matches exactly the names that equal it once trailing
      // dots and spaces are off it and single-byte letters are folded.
      FUZZ_CHECK(matched == (folded(name) == folded(stripped)), shown());
      if (matched) FUZZ_CHECK(allUpper(name) == allUpper(stripped), shown());
    }
    if (matched && stripped.find('*') == std::string::npos) {
      // Without '*', each character of the mask takes at most one of the name, and only
      // a last '?' takes a '.'.
      FUZZ_CHECK(characters(name).size() <= stripped.size(), shown());
      if (stripped.empty() || stripped.back() != '?')
        FUZZ_CHECK(std::count(name.begin(), name.end(), '.') <=
                       std::count(stripped.begin(), stripped.end(), '.'),
                   shown());
    }
    checkMadeMask(name, random);
  }
}

/// The listing order: names compared as folded bytes (unsigned, a name before the
/// longer names it begins), names that fold alike by their bytes.
bool expectedLess(const std::string& left, const std::string& right) {
  const std::string a = folded(left), b = folded(right);
  if (a != b) return a < b;  // std::string compares bytes as unsigned
  return left < right;
}

void checkOrder(const std::vector<std::string>& names) {
  for (const std::string& a : names) {
    FUZZ_CHECK(!entryNameLess(a, a), "irreflexive: " + fuzz::escaped(a));
    for (const std::string& b : names) {
      auto shown = [&] { return fuzz::escaped(a) + " " + fuzz::escaped(b); };
      const bool less = entryNameLess(a, b);
      FUZZ_CHECK(!(less && entryNameLess(b, a)), "asymmetric: " + shown());
      FUZZ_CHECK(a == b || less || entryNameLess(b, a), "total: " + shown());
      FUZZ_CHECK(less == expectedLess(a, b), "as documented: " + shown());
      if (!less) continue;
      for (const std::string& c : names)
        if (entryNameLess(b, c))
          FUZZ_CHECK(entryNameLess(a, c), "transitive: " + shown() + " " + fuzz::escaped(c));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> names = fuzz::pieces(data, size, kMaxNames + 1);
  const std::string mask = names[0];
  names.erase(names.begin());
  // The made masks take their choices from the input, so that a run can be repeated.
  std::minstd_rand random(static_cast<unsigned>(
      std::hash<std::string>()(std::string(reinterpret_cast<const char*>(data), size))));
  checkMatching(mask, names, random);
  names.push_back(mask);  // a mask is a name too, and folds like one
  checkOrder(names);
  return 0;
}
