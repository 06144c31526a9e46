#include "quillkit/console_output.h"

#include <algorithm>
#include <cstring>

#include "quillkit/console_output_platform.h"

namespace quillkit {
bool isTerminal(int fd) { return os::isTerminal(fd); }

bool isSameTerminal(int fd, int other) { return os::isSameTerminal(fd, other); }

ConsoleOutput::ConsoleOutput(std::ostream& stream, int fd, int failed)
    : stream_(stream),
      previous_(stream.rdbuf()),
      fd_(fd),
      error_(failed),
      lineBuffered_(os::isTerminal(fd)) {
  setp(buffer_, buffer_ + sizeof buffer_);
  stream_.rdbuf(this);
}

ConsoleOutput::~ConsoleOutput() {
  writeBuffered();
  stream_.rdbuf(previous_);
}

int ConsoleOutput::finish() {
  writeBuffered();
  const int closed = closeCopy(fd_);
  if (error_ == 0) error_ = closed;
  return error_;
}

int ConsoleOutput::closeCopy(int fd) { return os::closeCopy(fd); }

void ConsoleOutput::writeBuffered() {
  const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
  if (size > 0 && error_ == 0) error_ = os::writeAll(fd_, pbase(), size);
  setp(buffer_, buffer_ + sizeof buffer_);
}

ConsoleOutput::int_type ConsoleOutput::overflow(int_type byte) {
  writeBuffered();
  if (traits_type::eq_int_type(byte, traits_type::eof())) return traits_type::not_eof(byte);
  *pptr() = traits_type::to_char_type(byte);
  pbump(1);
  if (lineBuffered_ && traits_type::to_char_type(byte) == '\n') writeBuffered();
  return byte;
}

std::streamsize ConsoleOutput::xsputn(const char* data, std::streamsize size) {
  for (std::streamsize done = 0; done < size;) {
    if (pptr() == epptr()) writeBuffered();
    const std::streamsize part = std::min<std::streamsize>(epptr() - pptr(), size - done);
    std::memcpy(pptr(), data + done, static_cast<std::size_t>(part));
    pbump(static_cast<int>(part));
    done += part;
  }
  if (lineBuffered_ && std::memchr(data, '\n', static_cast<std::size_t>(size)) != nullptr)
    writeBuffered();
  return size;
}

int ConsoleOutput::sync() {
  writeBuffered();
  return 0;
}

}  // namespace quillkit
