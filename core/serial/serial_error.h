#pragma once

namespace velmora {

// What went wrong with the port, in our own words. Each backend translates
// its operating system's error codes into these in exactly one function.
enum class SerialError {
  None,
  NotFound,         // no such device
  InUse,            // another program holds the port
  AccessDenied,     // no permission
  InvalidName,      // the platform does not accept the name
  SettingsRefused,  // the device does not take the line settings
  DeviceRemoved,    // the adapter vanished or the other end hung up
  NotOpen,          // no valid handle
  TimedOut,         // the device did not drain a write in time
  Io,               // any other input/output error
};

const char* SerialErrorName(SerialError error);

}  // namespace velmora
