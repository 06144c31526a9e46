#ifndef PELQUIST_TESTS_SUPPORT_SHIFT_JIS_H_
#define PELQUIST_TESTS_SUPPORT_SHIFT_JIS_H_

#include <string>

// Shift-JIS characters whose second byte looks like ASCII or like a lead byte: the
// cases that path code must not split.
namespace sjis {

/// 表: the second byte is '\'.
const std::string kHyo = "\x95\x5C";
/// ソ: the second byte is '\'.
const std::string kSo = "\x83\x5C";
/// 亜: the second byte is itself a lead byte.
const std::string kA = "\x88\x9F";
/// A pair whose second byte is '|'.
const std::string kBar = "\x95\x7C";

}  // namespace sjis

#endif  // PELQUIST_TESTS_SUPPORT_SHIFT_JIS_H_
