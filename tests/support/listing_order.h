#ifndef PELQUIST_TESTS_SUPPORT_LISTING_ORDER_H_
#define PELQUIST_TESTS_SUPPORT_LISTING_ORDER_H_

#include <string>

#include "quillkit/filesystem/wildcard_posix.h"

/// POSIX build only: true when a listing puts `left` before `right`, through the keys
/// that the listing sorts by.
inline bool entryNameLess(const std::string& left, const std::string& right) {
  std::string a, b;
  quillkit::posix::appendListingKey(left.c_str(), left.size(), a);
  quillkit::posix::appendListingKey(right.c_str(), right.size(), b);
  return quillkit::posix::listedBefore({a.data(), left.data(), left.size()},
                                       {b.data(), right.data(), right.size()});
}

#endif  // PELQUIST_TESTS_SUPPORT_LISTING_ORDER_H_
