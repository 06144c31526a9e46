#ifndef QUILLKIT_STRING_REF_H_
#define QUILLKIT_STRING_REF_H_

#include <cstdint>
#include <cstring>
#include <string>

namespace quillkit {

/// A non-owning reference to a byte string: the address of its first byte and a
/// 32-bit length. It must not outlive the text it refers to, and is passed by value.
class StringRef {
 public:
  /// The length that means "not counted yet": the first length() counts up to the NUL.
  static constexpr uint32_t kUncounted = 0xFFFFFFFFu;

  /// Refers to a standard string: its data and exact size.
  StringRef(const std::string& text)
      : data_(text.c_str()), length_(static_cast<uint32_t>(text.size())) {}
  /// Refers to a NUL-terminated string whose length is counted when first asked for.
  StringRef(const char* text) : data_(text), length_(kUncounted) {}

  /// The first byte; the text is NUL-terminated where it came from a C or std string.
  const char* data() const { return data_; }

  /// The length in bytes; counts up to the NUL (and remembers it) when not known yet.
  uint32_t length() const {
    if (length_ == kUncounted) length_ = static_cast<uint32_t>(std::strlen(data_));
    return length_;
  }

  /// The stored length field as it is, kUncounted included.
  uint32_t rawLength() const { return length_; }

  /// A copy of the text up to its terminating NUL (the stored length is not consulted).
  std::string textToNul() const { return std::string(data_); }

 private:
  const char* data_;
  mutable uint32_t length_;
};

}  // namespace quillkit

#endif  // QUILLKIT_STRING_REF_H_
