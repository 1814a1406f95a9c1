#include "storage/text_field.h"

#include <gtest/gtest.h>

#include <array>

namespace velmora {
namespace {

// Capacity 5: six bytes.
using Field = std::array<std::uint8_t, 6>;

TEST(TextField, StoringWritesOnlyTheLengthByteAndTheCharacters) {
  struct Row {
    Field before;
    const char* text;
    Field after;
  };
  const Row rows[] = {
      {{5, 'C', 'O', 'M', '1', '2'}, "AB", {2, 'A', 'B', 'M', '1', '2'}},
      {{0, 0, 0, 0, 0, 0}, "COM3", {4, 'C', 'O', 'M', '3', 0}},
      {{3, 'x', 'y', 'z', 9, 9}, "", {0, 'x', 'y', 'z', 9, 9}},
      {{0, 0, 0, 0, 0, 0}, "ABCDEFG", {5, 'A', 'B', 'C', 'D', 'E'}},  // cut to the capacity
  };
  for (const Row& row : rows) {
    Field field = row.before;
    StoreTextField(field, row.text);
    EXPECT_EQ(field, row.after) << row.text;
  }
}

TEST(TextField, ReadingTakesTheFirstLengthCharactersAndCutsADamagedLength) {
  struct Row {
    Field field;
    const char* text;
  };
  const Row rows[] = {
      {{2, 'A', 'B', 'M', '1', '2'}, "AB"},
      {{0, 'A', 'B', 'M', '1', '2'}, ""},
      {{200, 'A', 'B', 'C', 'D', 'E'}, "ABCDE"},
  };
  for (const Row& row : rows) EXPECT_EQ(ReadTextField(row.field), row.text);
}

}  // namespace
}  // namespace velmora
