#include "copy/collect_plan.h"

#include "quillkit/filesystem/directory.h"

namespace copy {

namespace {

quillkit::PathParts splitPath(const std::string& path) {
  quillkit::PathParts parts;
  parts.split(path);
  return parts;
}

}  // namespace

CollectPlan::CollectPlan(const std::string& source, const std::string& destination,
                         const std::string& currentDirectory)
    : destination_(destination),
      sourceIsAbsolute_(quillkit::isAbsolutePath(source.c_str())),
      destinationIsAbsolute_(quillkit::isAbsolutePath(destination.c_str())) {
  // An absolute source's parts are those of the source as typed. A relative path is
  // joined to the current directory, or completed by the system where it names its
  // drive or its root (Windows).
  const quillkit::PathParts typed = splitPath(source);
  const quillkit::PathParts full =
      sourceIsAbsolute_ ? typed : splitPath(quillkit::absolutePath(currentDirectory, source));
  sourceDirectory_ = full.drive + full.dir;
  pattern_ = typed.fname + typed.ext;
  destinationDirectory_ = destinationIsAbsolute_
                              ? destination
                              : quillkit::absolutePath(currentDirectory, destination);
  destinationPaths_.reset(new quillkit::EntryPaths(destinationDirectory_.c_str()));
}

PlannedCopy CollectPlan::plan(const std::string& path) {
  parts_.split(path);
  PlannedCopy planned;
  planned.source = path;
  planned.name.assign(parts_.fname).append(parts_.ext);
  planned.destination = destinationPaths_->join(planned.name.c_str());
  // The destination as typed, followed by the name: the source itself?
  const std::string& name = planned.name;
  const bool typedIsSource = path.size() == destination_.size() + name.size() &&
                             path.compare(0, destination_.size(), destination_) == 0 &&
                             path.compare(destination_.size(), name.size(), name) == 0;
  planned.itself = planned.destination == path || typedIsSource;
  return planned;
}

}  // namespace copy
