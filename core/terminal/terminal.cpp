#include "terminal/terminal.h"

#include <utility>

namespace velmora {

Terminal::Terminal(SerialLink::PortFactory portFactory, SerialLink::Sleeper sleeper,
                   const Clock& clock)
    : clock_(clock),
      link_(std::move(portFactory), std::move(sleeper)),
      transmitter_(link_, history_, traffic_, clock_),
      receiver_(link_, traffic_, clock_) {}

}  // namespace velmora
