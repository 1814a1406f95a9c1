#include "serial/serial_error.h"

namespace velmora {

const char* SerialErrorName(SerialError error) {
  switch (error) {
    case SerialError::None: return "none";
    case SerialError::NotFound: return "not found";
    case SerialError::InUse: return "in use";
    case SerialError::AccessDenied: return "access denied";
    case SerialError::InvalidName: return "invalid name";
    case SerialError::SettingsRefused: return "settings refused";
    case SerialError::DeviceRemoved: return "device removed";
    case SerialError::NotOpen: return "not open";
    case SerialError::TimedOut: return "timed out";
    case SerialError::Io: return "input/output error";
  }
  return "unknown";
}

}  // namespace velmora
