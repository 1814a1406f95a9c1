#include <windows.h>

#include <algorithm>

#include "serial/line_time.h"
#include "serial/serial_port.h"

namespace velmora {

namespace {

// The one translation of GetLastError codes into our own errors, for every
// call of the Win32 backend.
SerialError SerialErrorFromLastError(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return SerialError::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return SerialError::NotFound;
    // A COM port held by another process answers ERROR_ACCESS_DENIED.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return SerialError::InUse;
    case ERROR_PRIVILEGE_NOT_HELD: return SerialError::AccessDenied;
    // "COM10" without the "\\.\" prefix, for one.
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return SerialError::InvalidName;
    case ERROR_INVALID_PARAMETER: return SerialError::SettingsRefused;
    // What a USB adapter's driver answers once the adapter is unplugged.
    // ERROR_NOT_READY: the far end of the line hung up.
    case ERROR_BAD_COMMAND:
    case ERROR_NOT_READY:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_OPERATION_ABORTED:
    case ERROR_GEN_FAILURE: return SerialError::DeviceRemoved;
    case ERROR_INVALID_HANDLE: return SerialError::NotOpen;
    case ERROR_SEM_TIMEOUT:
    case WAIT_TIMEOUT: return SerialError::TimedOut;
    default: return SerialError::Io;
  }
}

SerialError LastError() { return SerialErrorFromLastError(GetLastError()); }

// Reads return at once with what is waiting; a write may take `writeBoundMs`.
COMMTIMEOUTS Timeouts(DWORD writeBoundMs) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.WriteTotalTimeoutConstant = writeBoundMs;
  return timeouts;
}

class Win32SerialPort final : public SerialPort {
 public:
  ~Win32SerialPort() override { Close(); }

  SerialError Open(const std::string& name) override {
    Close();
    // Read and write, no sharing (exclusive), only if it exists, normal
    // attributes, synchronous I/O. The name is used exactly as given.
    const HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    handle_ = handle;
    applied_ = LineSettings{};
    COMMTIMEOUTS timeouts = Timeouts(0);
    (void)SetCommTimeouts(handle_, &timeouts);
    return SerialError::None;
  }

  void SetQueueSizes(std::uint32_t rx, std::uint32_t tx) override {
    if (IsValid()) (void)SetupComm(handle_, rx, tx);
  }

  SerialError Apply(const LineSettings& settings) override {
    if (!IsValid()) return SerialError::NotOpen;
    // Windows' own serial driver refuses these frames; some others (and Wine)
    // would take them and put another frame on the line.
    if (!StopBitsFitDataBits(settings)) return SerialError::SettingsRefused;
    // Only the four line settings; everything else zero: no flow control,
    // DTR and RTS disabled, no parity check, no special characters.
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = settings.baudRate;
    dcb.fBinary = TRUE;  // the only mode Windows supports
    dcb.ByteSize = settings.dataBits;
    dcb.Parity = settings.parity;
    dcb.StopBits = settings.stopBits;  // 0 ONESTOPBIT, 1 ONE5STOPBITS, 2 TWOSTOPBITS
    if (!SetCommState(handle_, &dcb)) return LastError();
    applied_ = settings;
    return SerialError::None;
  }

  SerialError Purge() override {
    if (!IsValid()) return SerialError::NotOpen;
    if (!PurgeComm(handle_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR)) {
      return LastError();
    }
    return SerialError::None;
  }

  SerialError BytesWaiting(std::uint32_t& count) override {
    count = 0;
    if (!IsValid()) return SerialError::NotOpen;
    // Also clears the line's error state; the error bits are not looked at.
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status)) return LastError();
    count = status.cbInQue;
    return SerialError::None;
  }

  std::size_t Read(std::uint8_t* data, std::size_t size, SerialError& error) override {
    error = SerialError::None;
    if (!IsValid()) {
      error = SerialError::NotOpen;
      return 0;
    }
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
    if (!ReadFile(handle_, data, wanted, &got, nullptr)) error = LastError();
    return got;
  }

  SerialError Write(const std::uint8_t* data, std::size_t size) override {
    if (!IsValid()) return SerialError::NotOpen;
    const std::uint64_t bound = std::min<std::uint64_t>(WriteBoundMs(applied_, size), MAXDWORD - 1);
    COMMTIMEOUTS timeouts = Timeouts(static_cast<DWORD>(bound));
    if (!SetCommTimeouts(handle_, &timeouts)) return LastError();
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
    if (!WriteFile(handle_, data, length, &written, nullptr)) {
      const SerialError error = LastError();
      if (error == SerialError::TimedOut) DropUnsent();
      return error;
    }
    // A write time-out completes the call with fewer bytes written.
    if (written < length) {
      DropUnsent();
      return SerialError::TimedOut;
    }
    return SerialError::None;
  }

  void Close() override {
    if (!IsValid()) return;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

  bool IsValid() const override { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  // What the device did not take in time would otherwise trickle out later.
  void DropUnsent() { (void)PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR); }

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  LineSettings applied_{};
};

}  // namespace

std::unique_ptr<SerialPort> CreateSerialPort(const DeviceDirectories&) {
  return std::make_unique<Win32SerialPort>();
}

}  // namespace velmora
