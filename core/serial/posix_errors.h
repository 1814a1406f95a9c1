#pragma once

#include "serial/serial_error.h"

namespace velmora {

// The one translation of errno values into our own errors, for every call
// of the termios backend.
SerialError SerialErrorFromErrno(int error);

}  // namespace velmora
