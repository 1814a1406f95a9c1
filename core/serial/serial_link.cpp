#include "serial/serial_link.h"

#include <utility>

namespace velmora {

namespace {
constexpr std::uint32_t kDriverQueueBytes = 2048;
}

SerialLink::SerialLink(PortFactory factory, Sleeper sleeper)
    : factory_(std::move(factory)), sleeper_(std::move(sleeper)), port_(factory_()) {}

OpenResult SerialLink::OpenPort(const PortRequest& request) {
  // A value typed into a settings box that is none of its items cannot be
  // read: refuse before anything else is touched.
  if (!request.baudRate || !request.dataBits || !request.stopBitsItem ||
      *request.stopBitsItem < 0 || *request.stopBitsItem > 2) {
    return OpenResult::NoSelection;
  }
  // The previous handle is closed whether or not it still takes the old
  // settings: after a refused connect the probe fails with the very settings
  // that were refused, and keeping that descriptor would leak it and lock our
  // own retry out as "in use".
  if (port_->IsValid()) {
    port_->Apply(settings_);
    port_->Close();
    portOpen_ = false;
  }
  sleeper_(5);
  if (request.name.empty()) {
    lastError_ = SerialError::NotFound;
    return OpenResult::EmptyName;
  }
  lastError_ = port_->Open(request.name);
  if (lastError_ != SerialError::None) {
    port_->Close();
    return OpenResult::OpenFailed;
  }
  port_->SetQueueSizes(kDriverQueueBytes, kDriverQueueBytes);
  settings_.baudRate = *request.baudRate;
  settings_.dataBits = *request.dataBits;
  settings_.parity = 0;
  settings_.stopBits = static_cast<std::uint8_t>(*request.stopBitsItem);
  portOpen_ = true;
  lastError_ = port_->Apply(settings_);
  if (lastError_ != SerialError::None) {
    portOpen_ = false;
    return OpenResult::SettingsRefused;
  }
  ++openCount_;
  return OpenResult::Opened;
}

void SerialLink::ClosePort() {
  if (!portOpen_) return;
  port_->Purge();
  port_->Close();
  portOpen_ = false;
}

}  // namespace velmora
