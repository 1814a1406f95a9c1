#include "storage/text_field.h"

#include <algorithm>

namespace velmora {

std::size_t TextFieldLength(std::span<const std::uint8_t> field) {
  if (field.empty()) return 0;
  return std::min<std::size_t>(field[0], field.size() - 1);
}

Bytes ReadTextField(std::span<const std::uint8_t> field) {
  const std::size_t length = TextFieldLength(field);
  return Bytes(reinterpret_cast<const char*>(field.data() + 1), length);
}

void StoreTextField(std::span<std::uint8_t> field, BytesView text) {
  if (field.empty()) return;
  const std::size_t length = std::min(text.size(), field.size() - 1);
  field[0] = static_cast<std::uint8_t>(length);
  std::copy_n(reinterpret_cast<const std::uint8_t*>(text.data()), length, field.begin() + 1);
}

}  // namespace velmora
