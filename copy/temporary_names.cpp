#include "copy/temporary_names.h"

#include <condition_variable>
#include <mutex>
#include <set>
#include <utility>

namespace copy {
namespace {

/// Every listed name, and how many are being made. Process-wide, as the signals are: the
/// cleanup that main sets up reads it, the file operations of any thread write it.
struct Registry {
  std::mutex mutex;
  std::condition_variable madeOne;
  std::multiset<std::pair<int, std::string>> names;
  int making = 0;
  bool stopped = false;
};

Registry& registry() {
  static Registry instance;
  return instance;
}

}  // namespace

TemporaryName::TemporaryName(std::string name, int folder)
    : name_(std::move(name)), folder_(folder) {
  Registry& r = registry();
  std::unique_lock<std::mutex> lock(r.mutex);
  // After the cleanup has begun, no name is made: the process is about to end.
  r.madeOne.wait(lock, [&r] { return !r.stopped; });
  r.names.insert({folder_, name_});
  ++r.making;
}

void TemporaryName::made() {
  if (!making_) return;
  making_ = false;
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  --r.making;
  r.madeOne.notify_all();
}

TemporaryName::~TemporaryName() {
  made();
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.names.erase(r.names.find({folder_, name_}));
}

bool temporaryNamesStopped() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.stopped;
}

void removeTemporaryNamesForGood(const std::function<void(int, const std::string&)>& remove) {
  Registry& r = registry();
  std::unique_lock<std::mutex> lock(r.mutex);
  r.stopped = true;
  r.madeOne.wait(lock, [&r] { return r.making == 0; });
  for (const auto& [folder, name] : r.names) remove(folder, name);
}

}  // namespace copy
