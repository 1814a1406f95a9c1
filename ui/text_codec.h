#pragma once

#include <QString>

#include "common/bytes.h"

namespace velmora::ui {

// The one crossing between the window's Unicode texts and the core's
// Windows-1251 bytes. Every byte value survives bytes -> QString -> bytes.
QString ToQString(BytesView bytes);
// A character the code page lacks becomes '?'; a surrogate pair (one
// character outside the basic plane) becomes a single '?'.
Bytes ToBytes(const QString& text);

}  // namespace velmora::ui
