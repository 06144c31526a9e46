#include "copy/interpreter/error_text.h"

#include <cerrno>
#include <cstring>

#include "copy/interpreter/file_ops.h"

namespace shell {

std::string systemErrorText(int error, ErrorSubject subject) {
  if (error == verifyFailedError()) return "Data error (cyclic redundancy check).";
  switch (error) {
    case ENOENT:
      return subject == ErrorSubject::Source ? "The system cannot find the file specified."
                                             : "The system cannot find the path specified.";
    case ENOTDIR:
      return "The system cannot find the path specified.";
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EXDEV:
    case ENOTEMPTY:
    case EEXIST:
    case EINVAL:
      return "Access is denied.";
    case EBUSY:
      return "The process cannot access the file because it is being used by another "
             "process.";
    case ENOSPC:
    case EDQUOT:
      return "There is not enough space on the disk.";
    case EFBIG:
      return "The file size exceeds the limit allowed and cannot be saved.";
    case ENAMETOOLONG:
      return "The filename or extension is too long.";
    case EIO:
      return "The request could not be performed because of an I/O device error.";
    case EMFILE:
    case ENFILE:
      return "The system cannot open the file.";
    default:
      return std::strerror(error);
  }
}

}  // namespace shell
