#include "copy/temporaries/temporary_names.h"

#include <condition_variable>
#include <mutex>
#include <set>
#include <utility>

namespace copy {
namespace {

/// Every listed name, and how many are being made or placed. Process-wide, as the
/// signals are: the cleanup that main sets up reads it, the file operations of any thread
/// write it.
struct Registry {
  std::mutex mutex;
  std::condition_variable madeOne;
  std::set<TemporaryName*> names;
  int making = 0;
  bool stopped = false;
};

Registry& registry() {
  static Registry instance;
  return instance;
}

/// Counts one more making under way; after the cleanup has begun, waits for the end of
/// the process instead.
void beginMaking(Registry& r, std::unique_lock<std::mutex>& lock) {
  r.madeOne.wait(lock, [&r] { return !r.stopped; });
  ++r.making;
}

}  // namespace

TemporaryName::TemporaryName(std::string name, int folder, std::string shownFolder)
    : name_(std::move(name)), folder_(folder), shownFolder_(std::move(shownFolder)) {
  Registry& r = registry();
  std::unique_lock<std::mutex> lock(r.mutex);
  beginMaking(r, lock);
  r.names.insert(this);
}

void TemporaryName::made(int file) {
  if (!making_) return;
  making_ = false;
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (file >= 0) file_ = file;
  --r.making;
  r.madeOne.notify_all();
}

void TemporaryName::closing() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  file_ = -1;
}

void TemporaryName::placing() {
  Registry& r = registry();
  std::unique_lock<std::mutex> lock(r.mutex);
  beginMaking(r, lock);
  making_ = true;
}

void TemporaryName::placed() { made(); }

TemporaryName::~TemporaryName() {
  made();
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.names.erase(this);
}

bool temporaryNamesStopped() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.stopped;
}

void removeTemporaryNamesForGood(const std::function<void(const TemporaryName&)>& remove,
                                 const std::function<void(int)>& close) {
  Registry& r = registry();
  std::unique_lock<std::mutex> lock(r.mutex);
  r.stopped = true;
  r.madeOne.wait(lock, [&r] { return r.making == 0; });
  // All closed first: a file system may let a name go only some time after its file.
  for (TemporaryName* listed : r.names)
    if (listed->file_ >= 0 && close) close(listed->file_);
  for (TemporaryName* listed : r.names) remove(*listed);
}

}  // namespace copy
