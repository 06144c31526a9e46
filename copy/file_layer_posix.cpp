#include "copy/file_layer_posix.h"

namespace copy {

// The umask is read here, once, before any copy: the process does not change it while
// it copies.
FileLayer::FileLayer() : parts_(new Parts) {}
FileLayer::~FileLayer() = default;

}  // namespace copy
