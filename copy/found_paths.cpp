#include "copy/found_paths.h"

#include <algorithm>

namespace copy {

namespace {

/// Bytes read before the room they took is given back, at once.
constexpr std::size_t kGiveBackAt = 1 << 16;

}  // namespace

void FoundPaths::push(const std::string& path) {
  const std::size_t most = std::min(path.size(), lastPushed_.size());
  std::size_t shared = 0;
  while (shared < most && path[shared] == lastPushed_[shared]) ++shared;
  pushNumber(shared);
  pushNumber(path.size() - shared);
  bytes_.append(path, shared, std::string::npos);
  lastPushed_.replace(shared, std::string::npos, path, shared, std::string::npos);
  ++count_;
}

const std::string& FoundPaths::pop() {
  const std::size_t shared = popNumber();
  const std::size_t rest = popNumber();
  lastPopped_.resize(shared);
  lastPopped_.append(bytes_, read_, rest);
  read_ += rest;
  --count_;
  // What was read goes once it is most of what is kept.
  if (read_ >= kGiveBackAt && read_ * 2 >= bytes_.size()) {
    bytes_.erase(0, read_);
    read_ = 0;
  }
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
    const auto byte = static_cast<unsigned char>(bytes_[read_++]);
    number |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return number;
  }
}

}  // namespace copy
