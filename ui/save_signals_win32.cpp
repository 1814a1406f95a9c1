#include "ui/save_signals.h"

namespace velmora::ui {

// Windows has no SIGUSR1; the kill-during-save test runs on POSIX only.
void InstallSaveSignals(QWidget&) {}

}  // namespace velmora::ui
