// "Cfg" as any bytes: the loader, the getters and a save of what was loaded.

#include <algorithm>
#include <string>

#include "app/cfg_record.h"
#include "fuzz_check.h"
#include "memory_file_system.h"
#include "targets.h"

namespace velmora::fuzz {
namespace {

// Reading a text and storing it again changes nothing while its length byte
// is within the capacity; a longer one is cut, which only a damaged file has.
template <typename Get, typename Set>
void CheckTextRoundTrip(CfgRecord& record, std::size_t offset, std::size_t capacity, Get get,
                        Set set) {
  const CfgImage before = record.Image();
  const Bytes text = (record.*get)();
  FUZZ_CHECK(text.size() == std::min<std::size_t>(before[offset], capacity));
  FUZZ_CHECK(std::equal(text.begin(), text.end(), before.begin() + offset + 1,
                        [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
  (record.*set)(text);
  if (before[offset] <= capacity) FUZZ_CHECK(record.Image() == before);
  FUZZ_CHECK((record.*get)() == text);
}

// "+0012" -> "12", "-007" -> "-7": a decimal text as to_string writes it;
// anything that is no such text comes back unchanged.
Bytes CanonicalNumber(Bytes text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.erase(0, 1);
  }
  if (text.empty() || text.find_first_not_of("0123456789") != Bytes::npos) return text;
  text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
  return negative && text != "0" ? "-" + text : text;
}

}  // namespace

void FuzzCfgFile(const std::uint8_t* data, std::size_t size) {
  const Bytes file(reinterpret_cast<const char*>(data), size);
  testing::MemoryFileSystem fs;
  fs.files["Cfg"] = file;

  CfgRecord record;
  const CfgLoadResult loaded = record.Load("Cfg", fs);
  FUZZ_CHECK(loaded.exists && !loaded.error);
  FUZZ_CHECK(loaded.damaged == (size < kCfgRecordSize));

  // The image is the file's first 792 bytes (zeros after a short one), with
  // the fifth character of the port name always 0.
  const CfgImage& image = record.Image();
  for (std::size_t i = 0; i < kCfgRecordSize; ++i) {
    const std::uint8_t expected = i == 5 || i >= size ? 0 : data[i];
    FUZZ_CHECK(image[i] == expected);
  }

  // Saved again, a whole file gives its own first 792 bytes back but for the
  // fifth port-name character; a short one gives a whole record.
  FUZZ_CHECK(record.Save("Cfg", fs).Ok());
  const Bytes& saved = fs.files["Cfg"];
  FUZZ_CHECK(saved.size() == kCfgRecordSize);
  FUZZ_CHECK(std::equal(saved.begin(), saved.end(), image.begin(),
                        [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
  FUZZ_CHECK(!fs.Exists("Cfg.tmp"));
  if (!loaded.damaged) {
    FUZZ_CHECK(saved.compare(0, 5, file, 0, 5) == 0);
    FUZZ_CHECK(saved.compare(6, kCfgRecordSize - 6, file, 6, kCfgRecordSize - 6) == 0);
  }

  // The port name stops at its first 0 byte and never holds the fifth one.
  const Bytes port = record.ComPort();
  FUZZ_CHECK(port.size() <= 4 && port.find('\0') == Bytes::npos);
  FUZZ_CHECK(record.ComPortWasCut() == (image[0] >= 5));

  CheckTextRoundTrip(record, 16, 250, &CfgRecord::FiltrLog, &CfgRecord::SetFiltrLog);
  CheckTextRoundTrip(record, 289, 250, &CfgRecord::MainStrCmd, &CfgRecord::SetMainStrCmd);
  CheckTextRoundTrip(record, 540, 250, &CfgRecord::AddStrCmd, &CfgRecord::SetAddStrCmd);

  // Numbers come back exactly as they are stored.
  const CfgImage before = record.Image();
  record.SetTimeRx(record.TimeRx());
  record.SetLogFontSize(record.LogFontSize());
  record.SetColor(record.Color());
  record.SetFontColor(record.FontColor());
  record.SetPeriodTx(record.PeriodTx());
  FUZZ_CHECK(record.Image() == before);

  // The period edit's text: a number that fits is taken, anything else is
  // the default, never a failure.
  const std::int32_t period = PeriodTxFromText(file);
  if (period != kDefaultPeriodTx) FUZZ_CHECK(std::to_string(period) == CanonicalNumber(file));
}

}  // namespace velmora::fuzz
