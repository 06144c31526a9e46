#include "app/argument_list.h"

bool ArgumentList::append(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) push_back(std::string(argv[i]));
  return true;
}
