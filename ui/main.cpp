#include <QApplication>
#include <QStyleFactory>

#include "ui/dialogs.h"
#include "ui/info_window.h"
#include "ui/look.h"
#include "ui/macro_editor_window.h"
#include "ui/main_window.h"
#include "ui/open_port_error_window.h"
#include "ui/save_signals.h"
#include "ui/terminal_services.h"

int main(int argc, char* argv[]) {
  velmora::ui::PrepareQtRuntime();
  QApplication app(argc, argv);
  // One look on every desktop: the Fusion style and the window's own fonts
  // in pixels (ui/look.h).
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setFont(velmora::ui::UiFont(8));

  velmora::ui::QtUserDialogs dialogs;
  velmora::ui::TForm1 window(dialogs, velmora::ui::TerminalServices::System());
  dialogs.SetOwner(&window);
  // The secondary windows exist from the start, hidden, and are shown modally.
  velmora::ui::TInfo info;
  velmora::ui::TOpenPortError portError;
  dialogs.SetWindows(&info, &portError);
  velmora::ui::TFormEditHelpCmd editor;
  dialogs.SetMacroEditor(&editor);

  velmora::ui::CenterOnScreen(window);
  window.show();
  velmora::ui::InstallSaveSignals(window);
  return QApplication::exec();
}
