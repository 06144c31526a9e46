#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <system_error>

#include "app/copy_application.h"
#include "app/texts.h"
#include "copy/command_runner.h"
#include "copy/file_layer.h"
#include "copy/file_system.h"
#include "copy/interruption_cleanup.h"
#include "copy/terminal_progress.h"
#include "quillkit/console_output.h"
#include "quillkit/console_text.h"

namespace app {
namespace {

bool runApplication(int argc, char** argv, const copy::FileLayer& files) {
  std::unique_ptr<copy::CommandRunner> runner =
      copy::makeSystemCommandRunner(std::cin, std::cout, files);
  copy::RealFileSystem fileSystem(files);
  // Only a person at the terminal of standard error is shown how collect-copy goes, and
  // its progress only where the trace does not go to that terminal too.
  copy::TerminalProgress progress(std::cerr, !quillkit::isSameTerminal(1, 2));
  CopyApplication application(
      std::cout, *runner, fileSystem, std::cerr,
      quillkit::isTerminal(2) ? progress : copy::CollectObserver::none());
  if (argc < 2) return application.usage();
  application.init(app::processArguments(argc, argv));
  return application.start();
}

}  // namespace
}  // namespace app

int main(int argc, char** argv) {
  quillkit::useLocaleCharacterSet();
  quillkit::ConsoleOutput output(std::cout, 1, quillkit::prepareStandardStreams());
  bool succeeded = false;
  try {
    // Before any other thread starts: the signals that end the process first take away
    // the copies' temporary names.
    const copy::InterruptionCleanup cleanup;
    // What every file operation shares: the POSIX build reads the umask here, once.
    const copy::FileLayer files;
    succeeded = app::runApplication(argc, argv, files);
  } catch (const std::bad_alloc&) {
    // What the system could not give stops the run where it stands, every copy in flight
    // given up; the trace does not say it.
    std::cerr << app::texts::kOutOfMemory << std::endl;
  } catch (const std::system_error& error) {
    std::cerr << app::texts::kOutOfResources << error.code().message() << std::endl;
  } catch (const std::exception& error) {
    std::cout << error.what() << std::endl;  // the current directory could not be read
  }
  // Output that was lost fails the run, once the work is done.
  if (const int error = output.finish()) {
    std::cerr << app::texts::kWriteError << std::strerror(error) << std::endl;
    return 1;
  }
  return succeeded ? 0 : 1;
}
