#include "app/hover_help.h"

#include <optional>
#include <utility>

namespace velmora {
namespace {

struct NamedRole {
  std::string_view control;
  HoverRole role;
};

constexpr HoverRole TopicRole(HelpTopic topic) { return {HoverEffect::Topic, topic}; }
constexpr HoverRole kClear{HoverEffect::Clear, HelpTopic::Connect};

constexpr std::array kRoles = {
    NamedRole{"BTConnect", TopicRole(HelpTopic::Connect)},
    NamedRole{"BTRescan", TopicRole(HelpTopic::Rescan)},
    NamedRole{"AutoConnect", TopicRole(HelpTopic::AutoConnect)},
    NamedRole{"TimeOutAns", TopicRole(HelpTopic::TimeRX)},
    NamedRole{"FiltrLog", TopicRole(HelpTopic::Filtr)},
    NamedRole{"RBManual", TopicRole(HelpTopic::ModeManual)},
    NamedRole{"RBSel", TopicRole(HelpTopic::ModeSel)},
    NamedRole{"RBAfterAns", TopicRole(HelpTopic::ModeAfterAns)},
    NamedRole{"RBPeriod", TopicRole(HelpTopic::ModePeriod)},
    NamedRole{"SendAsReconn", TopicRole(HelpTopic::ForConnect)},
    NamedRole{"MainStrCmd", TopicRole(HelpTopic::Consol)},
    NamedRole{"AddStrCmd", TopicRole(HelpTopic::AddConsol)},
    NamedRole{"CiklSend", TopicRole(HelpTopic::CiklSend)},
    NamedRole{"MainWindow", kClear},
    NamedRole{"SecondWindow", kClear},
    NamedRole{"Panel1", kClear},
    NamedRole{"LogPanel", kClear},
    NamedRole{"MainPanel", kClear},
    NamedRole{"EditAllCmd", kClear},
    NamedRole{"DelList", kClear},
    NamedRole{"OldCommandsBT", kClear},
    NamedRole{"ListInc", kClear},
    NamedRole{"ListDec", kClear},
    NamedRole{"ButtonReadFile", kClear},
    NamedRole{"SendStart", kClear},
    NamedRole{"ButtonSend", kClear},
};

}  // namespace

HoverRole HoverRoleOf(std::string_view control) {
  for (const NamedRole& named : kRoles) {
    if (named.control == control) return named.role;
  }
  return {};
}

HoverRole HoverRoleOfMove(std::string_view control, bool enabled, std::string_view parent) {
  return enabled ? HoverRoleOf(control) : HoverRoleOf(parent);
}

HoverHelp::HoverHelp(CursorFunction cursor, Panel panel)
    : cursor_(std::move(cursor)), panel_(std::move(panel)) {}

void HoverHelp::MouseMoved(const HoverRole& role, ScreenPoint at) {
  if (role.effect == HoverEffect::None) return;
  panel_.clearHelp();
  if (role.effect != HoverEffect::Topic) return;
  const std::size_t k = Index(role.topic);
  dwell_[k] = kDwellTicks;
  // The console line and the tail also take the anchor at once; the next
  // tick takes it again.
  if (role.topic == HelpTopic::Consol || role.topic == HelpTopic::AddConsol) {
    anchor_[k] = at;
  }
}

void HoverHelp::Tick() {
  // The cursor cannot move within one tick: ask once, when first needed.
  std::optional<ScreenPoint> cursor;
  const auto where = [&] {
    if (!cursor) cursor = cursor_();
    return *cursor;
  };
  for (std::size_t k = 0; k < dwell_.size(); ++k) {
    if (dwell_[k] == kDwellTicks) anchor_[k] = where();
    if (dwell_[k] == 0) continue;
    --dwell_[k];
    if (dwell_[k] == 0 && where() == anchor_[k]) panel_.showTopic(static_cast<HelpTopic>(k));
  }
}

void HoverHelp::ZeroCountdowns() { dwell_.fill(0); }

bool HoverHelp::HasWork() const {
  for (std::uint8_t dwell : dwell_) {
    if (dwell > 0) return true;
  }
  return false;
}

}  // namespace velmora
