#include "copy/cmd_posix/error_texts.h"

#include <cerrno>
#include <cstring>

#include "copy/cmd_posix/paths.h"
#include "copy/cmd_posix/texts.h"

namespace copy::cmd {

std::string systemErrorText(const CopyResult& failure, ErrorSubject subject) {
  if (failure.differs) return texts::kVerifyFailed;
  return systemErrorText(failure.error, subject);
}

std::string systemErrorText(int error, ErrorSubject subject) {
  switch (error) {
    case ENOENT:
      return subject == ErrorSubject::Source ? texts::kFileNotFound : texts::kPathNotFound;
    case ENOTDIR:
      return texts::kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case ENOTEMPTY:
    case EEXIST:
    case EINVAL:
      return texts::kAccessDenied;
    case EBUSY:
      return texts::kFileInUse;
    case EXDEV:
      return texts::kNotSameDevice;
    case ENOSPC:
    case EDQUOT:
      return texts::kDiskFull;
    case EFBIG:
      return texts::kFileTooLarge;
    case ENAMETOOLONG:
      return texts::kNameTooLong;
    case EIO:
      return texts::kDeviceError;
    case EMFILE:
    case ENFILE:
      // Windows's words for too many open files; the system's own say which limit.
      return std::string(texts::kCannotOpenFile) + " (" + std::strerror(error) + ")";
    default:
      return std::strerror(error);
  }
}

std::string missingSourceText(const std::string& source, int error) {
  if (error == ENOENT && !folderExists(source)) return texts::kPathNotFound;
  return systemErrorText(error, ErrorSubject::Source);
}

}  // namespace copy::cmd
