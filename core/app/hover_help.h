#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "app/help_texts.h"

namespace velmora {

// What a mouse movement over a control does to the help panel.
enum class HoverEffect {
  None,   // leaves the panel as it is
  Clear,  // empties the panel (ClearHelp)
  Topic,  // empties the panel and (re)starts the countdown of a topic
};

struct HoverRole {
  HoverEffect effect = HoverEffect::None;
  HelpTopic topic = HelpTopic::Connect;  // meaningful for HoverEffect::Topic only
  friend bool operator==(const HoverRole&, const HoverRole&) = default;
};

// The role of a control of the main window, by its name (the widget's
// objectName): the 13 topic controls, the clearing areas (the two log
// windows, the free areas of Panel1, LogPanel and MainPanel, and eight
// buttons of the command area), and nothing for every other name. The macro
// slots show their own help and are not handled here.
HoverRole HoverRoleOf(std::string_view control);

// The role of a movement over `control`. A disabled control passes the move
// to its parent (as Windows does), so it counts as the free area of the
// panel it lies on: `parent` is the name of that panel.
HoverRole HoverRoleOfMove(std::string_view control, bool enabled, std::string_view parent);

// A point on the screen, in screen pixels.
struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The resting-mouse detection of the 13 help topics. Each topic has a
// countdown of ticks of the 10 ms housekeeping tick (0 = idle) and an anchor:
// a movement over its control empties the panel and restarts the countdown at
// 100; the first tick after it stores the cursor as the anchor; the 100th
// tick compares the cursor with the anchor and shows the topic only when
// both are equal. Leaving the control does not stop the countdown.
//
// The cursor is an injected function, asked only when a countdown is at 100
// or reaches 0 (each ask may be a round trip to the display server), and at
// most once a tick; a movement brings its own position.
class HoverHelp {
 public:
  static constexpr std::uint8_t kDwellTicks = 100;

  using CursorFunction = std::function<ScreenPoint()>;
  struct Panel {
    std::function<void()> clearHelp;                 // ClearHelp
    std::function<void(HelpTopic topic)> showTopic;  // OutHelpConnect .. OutHelpCiklSend
  };

  HoverHelp(CursorFunction cursor, Panel panel);

  // A mouse movement (without a button) over a control with this role, which
  // brought the cursor to `at`.
  void MouseMoved(const HoverRole& role, ScreenPoint at);
  // The help step of the housekeeping tick: topics 0..12 in turn.
  void Tick();
  // Stops every countdown: the macro editor is opening, and a topic shown
  // while it is open would become the macro's help.
  void ZeroCountdowns();
  // A countdown is running: the housekeeping tick must keep running for it.
  bool HasWork() const;

  std::uint8_t Countdown(HelpTopic topic) const { return dwell_[Index(topic)]; }
  ScreenPoint Anchor(HelpTopic topic) const { return anchor_[Index(topic)]; }

 private:
  static std::size_t Index(HelpTopic topic) { return static_cast<std::size_t>(topic); }

  CursorFunction cursor_;
  Panel panel_;
  std::array<std::uint8_t, kHelpTopicCount> dwell_{};  // HelpDwell
  std::array<ScreenPoint, kHelpTopicCount> anchor_{};  // HelpAnchor
};

}  // namespace velmora
