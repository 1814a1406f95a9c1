#include "transmit/sent_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace velmora {
namespace {

using Texts = std::vector<Bytes>;

// A history file image whose entries 1, 2, ... hold `entries` ("" = free slot).
std::vector<std::uint8_t> ImageOf(const Texts& entries) {
  std::vector<std::uint8_t> image(SentHistory::kImageSize, 0);
  for (std::size_t n = 0; n < entries.size(); ++n) {
    image[n * SentHistory::kRecordSize] = static_cast<std::uint8_t>(entries[n].size());
    for (std::size_t i = 0; i < entries[n].size(); ++i) {
      image[n * SentHistory::kRecordSize + 1 + i] = ByteAt(entries[n], i);
    }
  }
  return image;
}

SentHistory Loaded(const Texts& entries) {
  SentHistory history;
  const auto image = ImageOf(entries);
  history.LoadRecords(image.data(), image.size());
  return history;
}

Texts Numbered(const char* prefix, int count) {
  Texts texts;
  for (int i = 1; i <= count; ++i) {
    // Appended, not prefixed: `prefix + std::to_string(i)` inserts at the
    // front, where GCC 12 reports a false -Wrestrict at -O2 and above.
    Bytes text(prefix);
    text += std::to_string(i);
    texts.push_back(std::move(text));
  }
  return texts;
}

Texts Concat(Texts a, const Texts& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct RuleRow {
  const char* name;
  Texts loaded;
  Texts sent;
  Texts shown;
};

TEST(SentHistoryRule, MovesOrInsertsAtTheTop) {
  const Texts full = Numbered("c", 50);
  const Texts fortyNine(full.begin(), full.end() - 1);
  const RuleRow rows[] = {
      {"a sent entry moves to the top", {"A", "B", "C"}, {"B"}, {"B", "A", "C"}},
      {"a new entry pushes all down", {"A", "B", "C"}, {"B", "D"}, {"D", "B", "A", "C"}},
      {"the same command twice stands once", {}, {"x", "x"}, {"x"}},
      {"matching is case-sensitive", {"a"}, {"A"}, {"A", "a"}},
      {"a new command drops entry 50 of a full list", full, {"new"}, Concat({"new"}, fortyNine)},
      {"entry 50 re-sent drops nothing", full, {"c50"}, Concat({"c50"}, fortyNine)},
      {"the higher-numbered duplicate is removed", {"A", "B", "A"}, {"A"}, {"A", "A", "B"}},
      {"empty slots are never shown", {"A", "", "B", ""}, {}, {"A", "B"}},
  };
  for (const auto& r : rows) {
    SentHistory history = Loaded(r.loaded);
    for (const auto& command : r.sent) history.Record(command);
    EXPECT_EQ(history.Shown(), r.shown) << r.name;
  }
}

TEST(SentHistoryRule, ANewCommandPushesEntry50OffEvenWithEmptySlotsAbove) {
  // Built by construction: assigning a literal into an element of a vector of
  // strings trips a false -Wrestrict of GCC 12 at -O2 and above.
  Texts loaded{"A"};
  loaded.resize(49);
  loaded.emplace_back("Z");
  SentHistory history = Loaded(loaded);
  history.Record("N");
  EXPECT_EQ(history.Shown(), (Texts{"N", "A"}));
  EXPECT_EQ(history.Entry(2), "A");
  EXPECT_EQ(history.Entry(50), "");
}

TEST(SentHistoryRule, RecordsOnlyOneTo254Characters) {
  const struct {
    std::size_t length;
    bool recorded;
  } rows[] = {{0, false}, {1, true}, {254, true}, {255, false}, {300, false}};
  for (const auto& r : rows) {
    SentHistory history = Loaded({"old"});
    history.Record(Bytes(r.length, 'k'));
    EXPECT_EQ(history.Entry(1) == Bytes(r.length, 'k'), r.recorded) << r.length;
    EXPECT_EQ(history.Shown().size(), r.recorded ? 2u : 1u) << r.length;
  }
}

TEST(SentHistoryEntries, OutOfRangeNumbersAreEmpty) {
  SentHistory history = Loaded({"A"});
  EXPECT_EQ(history.Entry(1), "A");
  EXPECT_EQ(history.Entry(0), "");
  EXPECT_EQ(history.Entry(51), "");
}

TEST(SentHistoryImage, AShorterTextKeepsTheTailOfTheLongerOneAndMovesWithIt) {
  SentHistory history;
  history.Record("abcdef");
  history.Record("xy");
  history.Record("abcdef");
  history.Record("zz");
  const auto image = history.Image();
  const auto record = [&](int n) {
    return Bytes(reinterpret_cast<const char*>(image.data()) + (n - 1) * 256, 8);
  };
  // Each new text is written over the record that stood at the top, and
  // each record moves down with the bytes after its text.
  EXPECT_EQ(record(1), Bytes("\x02zzcdef\0", 8));
  EXPECT_EQ(record(2), Bytes("\x06"
                             "abcdef\0",
                             8));
  EXPECT_EQ(record(3), Bytes("\x02xycdef\0", 8));
  EXPECT_EQ(history.Shown(), (Texts{"zz", "abcdef", "xy"}));
}

TEST(SentHistoryImage, LoadedBytesRoundTripExactly) {
  std::vector<std::uint8_t> image(SentHistory::kImageSize);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  SentHistory history;
  EXPECT_EQ(history.LoadRecords(image.data(), image.size()), 50u);
  const auto saved = history.Image();
  EXPECT_TRUE(std::equal(saved.begin(), saved.end(), image.begin()));
  // Record 2 begins with the length byte 256 * 7 + 3 = 1795 -> 0x03.
  EXPECT_EQ(history.Entry(2).size(), 3u);
}

TEST(SentHistoryImage, LoadTakesWholeRecordsAtMost50AndEmptiesTheRest) {
  const struct {
    std::size_t size;
    std::size_t whole;
    int lastLoaded;  // highest entry taken from the image
  } rows[] = {
      {0, 0, 0}, {255, 0, 0}, {3 * 256 + 100, 3, 3}, {12800, 50, 50}, {51 * 256, 51, 50},
  };
  std::vector<std::uint8_t> image(51 * 256);
  for (std::size_t n = 0; n < 51; ++n) {
    image[n * 256] = 1;
    image[n * 256 + 1] = static_cast<std::uint8_t>('0' + n % 10);
  }
  for (const auto& r : rows) {
    SentHistory history = Loaded({"stale"});
    EXPECT_EQ(history.LoadRecords(image.data(), r.size), r.whole) << r.size;
    EXPECT_EQ(history.Shown().size(), static_cast<std::size_t>(r.lastLoaded)) << r.size;
    const auto saved = history.Image();
    const std::size_t loadedBytes = static_cast<std::size_t>(r.lastLoaded) * 256;
    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + loadedBytes, image.begin())) << r.size;
    EXPECT_TRUE(std::all_of(saved.begin() + loadedBytes, saved.end(), [](std::uint8_t b) {
      return b == 0;
    })) << r.size;
  }
}

}  // namespace
}  // namespace velmora
