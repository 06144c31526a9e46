#ifndef PELQUIST_APP_ARGUMENT_LIST_H_
#define PELQUIST_APP_ARGUMENT_LIST_H_

#include <list>
#include <string>

/// The command-line arguments in order, argv[0] first. Elements may be empty.
class ArgumentList : public std::list<std::string> {
 public:
  /// Adds argv[0] to argv[argc-1] at the end (nothing for argc < 1). Always true.
  bool append(int argc, char** argv);
};

#endif  // PELQUIST_APP_ARGUMENT_LIST_H_
