#include "copy/found_paths.h"

#include <algorithm>

namespace copy {

void FoundPaths::push(const std::string& path) {
  const std::size_t most = std::min(path.size(), lastPushed_.size());
  std::size_t shared = 0;
  while (shared < most && path[shared] == lastPushed_[shared]) ++shared;
  pushNumber(shared);
  pushNumber(path.size() - shared);
  bytes_.insert(bytes_.end(), path.begin() + static_cast<std::ptrdiff_t>(shared), path.end());
  lastPushed_.replace(shared, std::string::npos, path, shared, std::string::npos);
  ++count_;
}

const std::string& FoundPaths::pop() {
  const std::size_t shared = popNumber();
  const std::size_t rest = popNumber();
  lastPopped_.resize(shared);
  const auto end = bytes_.begin() + static_cast<std::ptrdiff_t>(rest);
  lastPopped_.append(bytes_.begin(), end);
  bytes_.erase(bytes_.begin(), end);
  --count_;
  return lastPopped_;
}

// Seven bits a byte, the last byte below 0x80: most numbers take one byte.
void FoundPaths::pushNumber(std::size_t number) {
  for (; number >= 0x80; number >>= 7)
    bytes_.push_back(static_cast<char>(0x80 | (number & 0x7F)));
  bytes_.push_back(static_cast<char>(number));
}

std::size_t FoundPaths::popNumber() {
  std::size_t number = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(bytes_.front());
    bytes_.pop_front();
    number |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return number;
  }
}

}  // namespace copy
