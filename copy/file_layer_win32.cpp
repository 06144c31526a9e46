#include "copy/file_layer.h"

namespace copy {

// The Windows build's file calls need nothing of the process.
struct FileLayer::Parts {};

FileLayer::FileLayer() : parts_(new Parts) {}
FileLayer::~FileLayer() = default;

}  // namespace copy
