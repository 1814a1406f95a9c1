#pragma once

namespace velmora {

// How commands are typed and how packets are shown: as text or as
// hexadecimal byte pairs. One switch serves both directions.
enum class DataMode { Ascii, Hex };

}  // namespace velmora
