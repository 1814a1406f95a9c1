#pragma once

class QWidget;

namespace velmora::ui {

// For the kill-during-save test only, and only when the environment holds
// VELMORA_SAVE_SIGNALS=1: prints "ready" on stdout once the window runs, and
// from then on SIGUSR1 presses "Сохранить" (then prints "saved") and SIGTERM
// closes the window as its close button does, with the shut-down saves.
// Without the variable nothing is installed and the signals keep their
// default actions. A no-op on Windows.
void InstallSaveSignals(QWidget& window);

}  // namespace velmora::ui
