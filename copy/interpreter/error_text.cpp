#include "copy/interpreter/error_text.h"

#include <cerrno>
#include <cstring>

#include "app/texts.h"
#include "copy/interpreter/file_ops.h"

namespace shell {

std::string systemErrorText(int error, ErrorSubject subject) {
  if (error == verifyFailedError()) return texts::cmd::kVerifyFailed;
  switch (error) {
    case ENOENT:
      return subject == ErrorSubject::Source ? texts::cmd::kFileNotFound
                                             : texts::cmd::kPathNotFound;
    case ENOTDIR:
      return texts::cmd::kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EXDEV:
    case ENOTEMPTY:
    case EEXIST:
    case EINVAL:
      return texts::cmd::kAccessDenied;
    case EBUSY:
      return texts::cmd::kFileInUse;
    case ENOSPC:
    case EDQUOT:
      return texts::cmd::kDiskFull;
    case EFBIG:
      return texts::cmd::kFileTooLarge;
    case ENAMETOOLONG:
      return texts::cmd::kNameTooLong;
    case EIO:
      return texts::cmd::kDeviceError;
    case EMFILE:
    case ENFILE:
      return texts::cmd::kCannotOpenFile;
    default:
      return std::strerror(error);
  }
}

}  // namespace shell
