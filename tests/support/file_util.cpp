#include "support/file_util.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "support/fs_platform.h"

namespace {

size_t lastSeparator(const std::string& path) {
  // Test paths hold Shift-JIS pairs whose second byte may be '\'; walk pair-aware.
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/') last = i;
  }
  return last;
}

}  // namespace

void makeDirectories(const std::string& path) {
  if (path.empty() || testfs::isDirectory(path)) return;
  size_t cut = lastSeparator(path);
  if (cut != std::string::npos && cut > 0) makeDirectories(path.substr(0, cut));
  testfs::makeDirectory(path);
}

void writeFile(const std::string& path, const std::string& content) {
  size_t cut = lastSeparator(path);
  if (cut != std::string::npos && cut > 0) makeDirectories(path.substr(0, cut));
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot write " + path);
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

std::string readFile(const std::string& path) {
  std::string content;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return content;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  std::fclose(file);
  return content;
}

bool fileExists(const std::string& path) { return testfs::exists(path); }
bool isDirectory(const std::string& path) { return testfs::isDirectory(path); }

std::vector<std::string> listDirectory(const std::string& path) {
  std::vector<std::string> names = testfs::list(path);
  std::sort(names.begin(), names.end());
  return names;
}

std::string currentDirectory() { return testfs::currentDirectory(); }
char nativeSeparator() { return testfs::separator(); }
const char* textLineEnd() { return testfs::textLineEnd(); }

std::string withTextLineEnds(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n')
      result += textLineEnd();
    else
      result += c;
  }
  return result;
}
