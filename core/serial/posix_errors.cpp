#include "serial/posix_errors.h"

#include <cerrno>

namespace velmora {

SerialError SerialErrorFromErrno(int error) {
  switch (error) {
    case 0: return SerialError::None;
    case ENOENT:
    case ENXIO: return SerialError::NotFound;
    // EBUSY: another holder set TIOCEXCL; EWOULDBLOCK: another holder's flock.
    case EBUSY:
    case EWOULDBLOCK: return SerialError::InUse;
    case EACCES:
    case EPERM:
    case EROFS: return SerialError::AccessDenied;
    // ENOTTY: the name is no terminal at all (a plain file, a directory's node).
    case ENAMETOOLONG:
    case ENOTDIR:
    case EISDIR:
    case ELOOP:
    case ENOTTY: return SerialError::InvalidName;
    case EINVAL: return SerialError::SettingsRefused;
    // EIO: an adapter that vanished, or a pseudo-terminal whose other end hung up.
    case EIO:
    case ENODEV:
    case EPIPE:
    case ESHUTDOWN: return SerialError::DeviceRemoved;
    case EBADF: return SerialError::NotOpen;
    case ETIMEDOUT: return SerialError::TimedOut;
    default: return SerialError::Io;
  }
}

}  // namespace velmora
