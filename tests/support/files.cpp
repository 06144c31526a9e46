#include "tests/support/files.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "tests/support/platform.h"

void writeFile(const std::string& path, const std::string& content) {
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
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  std::fclose(file);
  return content;
}

std::vector<std::string> listDirectory(const std::string& path) {
  std::vector<std::string> names = testsys::list(path);
  std::sort(names.begin(), names.end());
  return names;
}

std::string withTextLineEnds(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n')
      result += testsys::textLineEnd();
    else
      result += c;
  }
  return result;
}
