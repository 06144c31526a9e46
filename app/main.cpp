#include <exception>
#include <iostream>

#include "app/copy_application.h"
#include "copy/command_runner.h"
#include "copy/file_system.h"

int main(int argc, char** argv) {
  try {
    std::unique_ptr<CommandRunner> runner = makeSystemCommandRunner(std::cin, std::cout);
    RealFileSystem fileSystem;
    CopyApplication application(std::cout, *runner, fileSystem);
    bool succeeded;
    if (argc < 2) {
      succeeded = application.usage();
    } else {
      application.init(argc, argv);
      succeeded = application.start();
    }
    return succeeded ? 0 : 1;
  } catch (const std::exception& error) {
    std::cout << error.what() << std::endl;
    return 1;
  }
}
