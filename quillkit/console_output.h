#ifndef QUILLKIT_CONSOLE_OUTPUT_H_
#define QUILLKIT_CONSOLE_OUTPUT_H_

#include <ostream>
#include <streambuf>

namespace quillkit {

/// Readies the process's standard streams for a run whose output may be lost. POSIX:
/// SIGPIPE is ignored, so that a reader who goes away makes a write fail instead of
/// ending the process, and a closed standard stream is opened on /dev/null, so that
/// no file the program opens takes its number. The errno value that every write to
/// the standard output would fail with (EBADF when it was closed); 0 when it is open.
int prepareStandardStreams();

/// True when `fd` is a terminal (a console on Windows).
bool isTerminal(int fd);
/// True when `fd` and `other` are both terminals and the same one (POSIX: one device;
/// Windows: both consoles, of which a process has one).
bool isSameTerminal(int fd, int other);

/// What a stream writes, buffered in front of a file descriptor, noticing a failed
/// write: after the first one (a reader gone, a full disk, a closed output) nothing
/// more is written there and the error is kept, while the stream itself never fails,
/// so that the work goes on. On a terminal each line goes out as it ends, elsewhere
/// when the buffer is full or the stream is flushed.
class ConsoleOutput : public std::streambuf {
 public:
  /// Takes the place of `stream`'s buffer, writing to `fd`, until destroyed. `failed`
  /// is the errno value of an output already known to fail; 0 for none.
  ConsoleOutput(std::ostream& stream, int fd, int failed = 0);
  /// Writes what is buffered and gives `stream` its own buffer back.
  ~ConsoleOutput() override;
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

  /// At the end of the run: writes what is buffered and hands the output over for good,
  /// as a close does (network and FUSE file systems write out or refuse data then,
  /// EDQUOT or EIO); then the errno value of the first failed write or of that close,
  /// or 0. The descriptor stays open.
  int finish();

 protected:
  /// Closes a copy of `fd`, so that the file system tells what it makes of the output at
  /// a close: 0 or errno. A test stands in for a file system that refuses it then.
  virtual int closeCopy(int fd);
  int_type overflow(int_type byte) override;
  std::streamsize xsputn(const char* data, std::streamsize size) override;
  int sync() override;

 private:
  void writeBuffered();

  std::ostream& stream_;
  std::streambuf* const previous_;
  const int fd_;
  int error_;
  const bool lineBuffered_;
  char buffer_[4096];
};

}  // namespace quillkit

#endif  // QUILLKIT_CONSOLE_OUTPUT_H_
