#ifndef QUILLKIT_SCOPED_PTR_H_
#define QUILLKIT_SCOPED_PTR_H_

#include "quillkit/diagnostics.h"
#include "quillkit/texts.h"

namespace quillkit {

/// Single owner of one heap object, deleted on every way out of the owner's scope.
/// Using it while it holds nothing raises the assertion report "ptr != 0".
template <typename T>
class ScopedPtr {
 public:
  explicit ScopedPtr(T* object = nullptr) : ptr_(object) {}
  ~ScopedPtr() { delete ptr_; }
  ScopedPtr(const ScopedPtr&) = delete;
  ScopedPtr& operator=(const ScopedPtr&) = delete;

  /// The held object; an assertion report when there is none.
  T& operator*() const { return *checked(); }
  T* operator->() const { return checked(); }
  /// The held pointer, possibly null; never raises.
  T* get() const { return ptr_; }

 private:
  T* checked() const {
    if (ptr_ == nullptr)
      assertionFailed(texts::kScopedPtrExpression, texts::kScopedPtrSource,
                      texts::kScopedPtrLine, "%s", texts::kScopedPtrMessage);
    return ptr_;
  }

  T* ptr_;
};

}  // namespace quillkit

#endif  // QUILLKIT_SCOPED_PTR_H_
