// velmora-devsim: a simulated serial device on a pseudo-terminal, for trying
// the terminal without hardware.
//
//   velmora-devsim --link /tmp/ttyVELMORA --mode script --script answers.txt
//
// prints the slave's path and runs until SIGINT or SIGTERM.

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "pty_device.h"

namespace {

void Usage() {
  std::cerr << "usage: velmora-devsim [--link PATH] [--mode echo|silent|deaf|flood|script]\n"
               "                      [--bytes N] [--text] [--script FILE]\n"
               "  echo    sends back every byte (the default)\n"
               "  silent  reads everything, answers nothing\n"
               "  deaf    never reads\n"
               "  flood   the first byte received starts N bytes (pseudo-random, or\n"
               "          numbered text lines with --text)\n"
               "  script  FILE lines \"request<TAB>reply<TAB>delay_ms\"; \\r \\n \\t \\xHH\n";
}

bool ParseMode(const std::string& text, devsim::Mode& mode) {
  if (text == "echo")
    mode = devsim::Mode::Echo;
  else if (text == "silent")
    mode = devsim::Mode::Silent;
  else if (text == "deaf")
    mode = devsim::Mode::Deaf;
  else if (text == "flood")
    mode = devsim::Mode::Flood;
  else if (text == "script")
    mode = devsim::Mode::Script;
  else
    return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  devsim::DeviceOptions options;
  std::string scriptPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--link" && hasValue) {
      options.linkPath = argv[++i];
    } else if (arg == "--mode" && hasValue) {
      if (!ParseMode(argv[++i], options.mode)) {
        Usage();
        return 2;
      }
    } else if (arg == "--bytes" && hasValue) {
      options.floodBytes = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--text") {
      options.floodText = true;
    } else if (arg == "--script" && hasValue) {
      scriptPath = argv[++i];
    } else {
      Usage();
      return 2;
    }
  }
  try {
    if (options.mode == devsim::Mode::Script) {
      std::ifstream file(scriptPath);
      if (!file) {
        std::cerr << "velmora-devsim: cannot read the script \"" << scriptPath << "\"\n";
        return 1;
      }
      options.script = devsim::ParseScript(file);
    }
    // Blocked before the device's thread starts, so that only sigwait below
    // takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    devsim::PtyDevice device(options);
    std::cout << device.SlavePath() << '\n';
    if (!options.linkPath.empty())
      std::cout << options.linkPath << " -> " << device.SlavePath() << '\n';
    std::cout.flush();
    int signal = 0;
    sigwait(&stopSignals, &signal);
    device.Stop();
  } catch (const std::exception& error) {
    std::cerr << "velmora-devsim: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
