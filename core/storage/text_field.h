#pragma once

#include <cstdint>
#include <span>

#include "common/bytes.h"

namespace velmora {

// A length-prefixed text field of capacity N spans N + 1 bytes: the length
// byte L, then N character bytes of which the first L count. The bytes after
// the first L mean nothing but are kept: the files are written as held in
// memory, so they carry what an earlier, longer text or the file left there.
//
//   capacity 5, "COM3" over "COM12":  04 'C' 'O' 'M' '3' '2'

// The text of the field. A length byte above the capacity can only come from
// a damaged file; the text is then cut to the capacity.
Bytes ReadTextField(std::span<const std::uint8_t> field);

// The length byte as stored, cut to the capacity like ReadTextField.
std::size_t TextFieldLength(std::span<const std::uint8_t> field);

// Stores the text cut to the capacity, writing only the length byte and the
// characters; the bytes after them keep what was there.
void StoreTextField(std::span<std::uint8_t> field, BytesView text);

}  // namespace velmora
