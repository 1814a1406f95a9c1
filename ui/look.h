#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace velmora::ui {

// The window was designed for an 8-point sans-serif dialog font at 96 dots
// per inch. Fonts are set in pixels so that every platform, the offscreen one
// of the tests included, lays the texts out alike; the family is one that has
// Cyrillic and the arrows.
inline constexpr char kUiFontFamily[] = "DejaVu Sans";

// The log windows use the monospaced face of the same family, without
// kerning: every character has its own fixed advance, so the window can count
// its wrapped lines without laying the text out (see LogWindow).
inline constexpr char kLogFontFamily[] = "DejaVu Sans Mono";
QFont LogFont(int points);

// The help lines were written to fill 261 pixels in the design font; the
// condensed face of the family keeps the longest of them whole at 8 points.
inline constexpr char kHelpFontFamily[] = "DejaVu Sans Condensed";
QFont HelpFont(bool bold);

// Rounded to the nearest pixel: 8 pt -> 11 px, 10 -> 13, 14 -> 19, 15 -> 20,
// 18 -> 24, 24 -> 32.
int PointsToPixels(int points);
QFont UiFont(int points, bool bold = false);

// The help panel's cream, 0x00F0FBFF as stored (blue in the high byte).
inline constexpr QColor kCream{255, 251, 240};

// Settings of the runtime, made before the application object exists:
// - Qt's own event loop instead of GLib's: the terminal wakes for every
//   packet, timer and frame, and GLib's rounds cost about a sixth of the CPU
//   of a periodic send.
// - On X11, painted pixels go over the X connection, not through shared
//   memory. With shared memory each paint over pixels the last frame sent
//   first waits for a round trip to the X server (a blocking wait and two
//   thread wake-ups). The terminal repaints the same labels and the log's
//   last lines on every packet and every second: frames of a few kilobytes,
//   where the wait costs more than the copy. Scrolling is copied inside the
//   server either way.
// - The allocator keeps large freed blocks for reuse, and the heap's free top
//   on huge pages where the system offers them (KeepFreedMemoryForReuse): in
//   a flood each fresh page of the log's batches was a page fault in the
//   thread that reads the port.
// A value the user set for either variable (QT_NO_GLIB, QT_XCB_NO_MITSHM) is
// kept.
void PrepareQtRuntime();

// Places a top-level window in the middle of its screen's available area.
void CenterOnScreen(QWidget& window);

}  // namespace velmora::ui
