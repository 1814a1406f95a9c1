#include "app/cfg_record.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "common/cp1251.h"
#include "storage/text_field.h"

namespace velmora {
namespace {

// Offsets into the record. Bytes 10..11, 267 and 283 are padding: never
// read, written as held.
constexpr std::size_t kComPort = 0;  // text, capacity 5: "COM3" is 04 43 4F 4D 33 00
constexpr std::size_t kComPortCapacity = 5;
constexpr std::size_t kTimeRx = 12;
constexpr std::size_t kFiltrLog = 16;
constexpr std::size_t kLogFontSize = 268;
constexpr std::size_t kColor = 272;
constexpr std::size_t kFontColor = 276;
constexpr std::size_t kPeriodTx = 284;
constexpr std::size_t kMainStrCmd = 289;
constexpr std::size_t kAddStrCmd = 540;
constexpr std::size_t kTextCapacity = 250;

}  // namespace

FileError ShortCfgFileError(const std::string& path) {
  return DamagedFileError(path, Utf8ToCp1251("меньше " + std::to_string(kCfgRecordSize) + " байт"));
}

bool CfgRecord::Assign(BytesView fileBytes) {
  const std::size_t taken = std::min(fileBytes.size(), kCfgRecordSize);
  image_.fill(0);
  std::copy_n(reinterpret_cast<const std::uint8_t*>(fileBytes.data()), taken, image_.begin());
  image_[kComPort + kComPortCapacity] = 0;
  return taken == kCfgRecordSize;
}

CfgLoadResult CfgRecord::Load(const std::string& path, FileSystem& fs) {
  CfgLoadResult result;
  ReadFileResult file = ReadWholeFile(path, kCfgRecordSize, fs);
  result.exists = file.exists;
  result.error = std::move(file.error);
  if (result.exists && !result.error) result.damaged = !Assign(file.bytes);
  return result;
}

SaveResult CfgRecord::Save(const std::string& path, FileSystem& fs) const {
  return SaveFileAtomically(path, image_, fs);
}

Bytes CfgRecord::ComPort() const {
  Bytes name = ReadTextField(Field(kComPort, kComPortCapacity));
  return name.substr(0, name.find('\0'));
}

void CfgRecord::SetComPort(BytesView name) {
  StoreTextField(Field(kComPort, kComPortCapacity), name);
  image_[kComPort + kComPortCapacity] = 0;
}

bool CfgRecord::ComPortWasCut() const { return image_[kComPort] >= kComPortCapacity; }

std::int32_t CfgRecord::TimeRx() const { return Int32At(kTimeRx); }
void CfgRecord::SetTimeRx(std::int32_t ms) { SetInt32At(kTimeRx, ms); }
std::int32_t CfgRecord::LogFontSize() const { return Int32At(kLogFontSize); }
void CfgRecord::SetLogFontSize(std::int32_t points) { SetInt32At(kLogFontSize, points); }
std::uint32_t CfgRecord::Color() const { return static_cast<std::uint32_t>(Int32At(kColor)); }
void CfgRecord::SetColor(std::uint32_t color) {
  SetInt32At(kColor, static_cast<std::int32_t>(color));
}
std::uint32_t CfgRecord::FontColor() const {
  return static_cast<std::uint32_t>(Int32At(kFontColor));
}
void CfgRecord::SetFontColor(std::uint32_t color) {
  SetInt32At(kFontColor, static_cast<std::int32_t>(color));
}
std::int32_t CfgRecord::PeriodTx() const { return Int32At(kPeriodTx); }
void CfgRecord::SetPeriodTx(std::int32_t ms) { SetInt32At(kPeriodTx, ms); }

Bytes CfgRecord::FiltrLog() const { return ReadTextField(Field(kFiltrLog, kTextCapacity)); }
void CfgRecord::SetFiltrLog(BytesView text) {
  StoreTextField(Field(kFiltrLog, kTextCapacity), text);
}
Bytes CfgRecord::MainStrCmd() const { return ReadTextField(Field(kMainStrCmd, kTextCapacity)); }
void CfgRecord::SetMainStrCmd(BytesView text) {
  StoreTextField(Field(kMainStrCmd, kTextCapacity), text);
}
Bytes CfgRecord::AddStrCmd() const { return ReadTextField(Field(kAddStrCmd, kTextCapacity)); }
void CfgRecord::SetAddStrCmd(BytesView text) {
  StoreTextField(Field(kAddStrCmd, kTextCapacity), text);
}

std::int32_t CfgRecord::Int32At(std::size_t offset) const {
  const std::uint32_t value = static_cast<std::uint32_t>(image_[offset]) |
                              static_cast<std::uint32_t>(image_[offset + 1]) << 8 |
                              static_cast<std::uint32_t>(image_[offset + 2]) << 16 |
                              static_cast<std::uint32_t>(image_[offset + 3]) << 24;
  return static_cast<std::int32_t>(value);
}

void CfgRecord::SetInt32At(std::size_t offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i)
    image_[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::span<std::uint8_t> CfgRecord::Field(std::size_t offset, std::size_t capacity) {
  return std::span<std::uint8_t>(image_).subspan(offset, capacity + 1);
}

std::span<const std::uint8_t> CfgRecord::Field(std::size_t offset, std::size_t capacity) const {
  return std::span<const std::uint8_t>(image_).subspan(offset, capacity + 1);
}

int SelectionFromByte(std::uint8_t stored) { return stored == kNoSelection ? -1 : stored; }

std::uint8_t ByteFromSelection(int index) {
  return index < 0 ? kNoSelection : static_cast<std::uint8_t>(index);
}

std::int32_t PeriodTxFromText(BytesView text) {
  if (text.empty()) return kDefaultPeriodTx;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') {
    ++first;
    if (first != last && *first == '-') return kDefaultPeriodTx;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) return kDefaultPeriodTx;
  return value;
}

bool LogFontSizeUsable(std::int32_t points) {
  return points >= kMinLogFontSize && points <= kMaxLogFontSize;
}

}  // namespace velmora
