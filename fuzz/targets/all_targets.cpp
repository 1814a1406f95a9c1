#include <array>

#include "targets.h"

namespace velmora::fuzz {

std::span<const NamedTarget> AllTargets() {
  static constexpr std::array<NamedTarget, 9> kTargets{{
      {"cfg_file", FuzzCfgFile},
      {"old_cmd_file", FuzzOldCmdFile},
      {"cmd_config_record", FuzzCmdConfigRecord},
      {"encoder", FuzzEncoder},
      {"hex_console", FuzzHexConsole},
      {"receive_lines", FuzzReceiveLines},
      {"port_list", FuzzPortList},
      {"cp1251", FuzzCp1251},
      {"command_file", FuzzCommandFile},
  }};
  return kTargets;
}

}  // namespace velmora::fuzz
