#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "common/bytes.h"
#include "common/color_value.h"
#include "storage/file_store.h"

namespace velmora {

inline constexpr std::size_t kCfgRecordSize = 792;
// A combo box without a selection is stored as this list index.
inline constexpr std::uint8_t kNoSelection = 255;
// The log windows' design font size, in points; also what a stored size
// outside kMinLogFontSize..kMaxLogFontSize is replaced by.
inline constexpr std::int32_t kDesignLogFontSize = 8;
inline constexpr std::int32_t kMinLogFontSize = 2;
inline constexpr std::int32_t kMaxLogFontSize = 100;
// Stored for an empty period text, and for one that is no number.
inline constexpr std::int32_t kDefaultPeriodTx = 1000;

using CfgImage = std::array<std::uint8_t, kCfgRecordSize>;

struct CfgLoadResult {
  bool exists = false;
  // The file is shorter than one record: report it once and keep the design
  // values; shut-down writes a whole record.
  bool damaged = false;
  std::optional<FileError> error;

  // The record may be applied to the controls.
  bool Applicable() const { return exists && !damaged && !error; }
};

// The settings record "Cfg", held from start-up to shut-down. Every field is
// read and written at its offset, little-endian. Storing a text writes only
// its length byte and characters, so the tails of text fields and the
// padding keep what the file or an earlier, longer text left.
// The report of a "Cfg" shorter than one record.
FileError ShortCfgFileError(const std::string& path);

class CfgRecord {
 public:
  // Takes a file's content: its first 792 bytes, or all of a shorter file
  // followed by zeros. The fifth character of the port name is zeroed.
  // Returns false when the content is shorter than a record.
  bool Assign(BytesView fileBytes);
  // Reads "Cfg" into the record. A missing file or a file-system error
  // leaves the record as it was.
  CfgLoadResult Load(const std::string& path, FileSystem& fs = SystemFileSystem());
  // Writes the 792 bytes, replacing the file (a longer one is cut back).
  SaveResult Save(const std::string& path, FileSystem& fs = SystemFileSystem()) const;
  const CfgImage& Image() const { return image_; }

  // The port name runs to its first 0 byte; the fifth character is always 0,
  // so "COM12" comes back as "COM1".
  Bytes ComPort() const;
  void SetComPort(BytesView name);
  // The stored name was cut to four characters (its length byte is 5).
  bool ComPortWasCut() const;

  // List indexes; kNoSelection for none (see SelectionFromByte).
  std::uint8_t BaudRate() const { return image_[6]; }
  void SetBaudRate(std::uint8_t index) { image_[6] = index; }
  std::uint8_t ComBits() const { return image_[7]; }
  void SetComBits(std::uint8_t index) { image_[7] = index; }
  std::uint8_t ComStopBits() const { return image_[8]; }
  void SetComStopBits(std::uint8_t index) { image_[8] = index; }

  // Check boxes: any byte but 0 checks them; storing writes 0 or 1.
  bool AutoConnect() const { return image_[9] != 0; }
  void SetAutoConnect(bool on) { image_[9] = on ? 1 : 0; }
  bool VisTime() const { return image_[280] != 0; }
  void SetVisTime(bool on) { image_[280] = on ? 1 : 0; }
  bool SendAsReconn() const { return image_[288] != 0; }
  void SetSendAsReconn(bool on) { image_[288] = on ? 1 : 0; }

  std::int32_t TimeRx() const;  // ms
  void SetTimeRx(std::int32_t ms);
  std::int32_t LogFontSize() const;  // points
  void SetLogFontSize(std::int32_t points);
  std::uint32_t Color() const;
  void SetColor(std::uint32_t color);
  std::uint32_t FontColor() const;
  void SetFontColor(std::uint32_t color);
  std::int32_t PeriodTx() const;  // ms
  void SetPeriodTx(std::int32_t ms);

  // 1 = RBASCII, 2 = RBHEX; other values select nothing.
  std::uint8_t OutMode() const { return image_[281]; }
  void SetOutMode(std::uint8_t mode) { image_[281] = mode; }
  // 1 = RBManual, 2 = RBSel, 3 = RBAfterAns, 4 = RBPeriod; other values
  // select nothing.
  std::uint8_t InputMode() const { return image_[282]; }
  void SetInputMode(std::uint8_t mode) { image_[282] = mode; }

  // Texts of capacity 250, cut when stored.
  Bytes FiltrLog() const;
  void SetFiltrLog(BytesView text);
  Bytes MainStrCmd() const;
  void SetMainStrCmd(BytesView text);
  Bytes AddStrCmd() const;
  void SetAddStrCmd(BytesView text);

  // The name view is selected only by a stored 1; anything else selects the
  // command-line view.
  bool RBName() const { return image_[791] == 1; }
  void SetRBName(bool nameView) { image_[791] = nameView ? 1 : 0; }

 private:
  std::int32_t Int32At(std::size_t offset) const;
  void SetInt32At(std::size_t offset, std::int32_t value);
  std::span<std::uint8_t> Field(std::size_t offset, std::size_t capacity);
  std::span<const std::uint8_t> Field(std::size_t offset, std::size_t capacity) const;

  CfgImage image_{};
};

// A stored list index as a combo box index: kNoSelection gives -1.
int SelectionFromByte(std::uint8_t stored);
// A combo box index as stored: -1 (no selection) gives kNoSelection.
std::uint8_t ByteFromSelection(int index);

// The period to store for the text of the period edit: its decimal number;
// kDefaultPeriodTx when it is empty, and also when it is no number that fits
// 32 bits (pasted text), so that shut-down always completes.
std::int32_t PeriodTxFromText(BytesView text);

// A stored font size is applied only when it is readable.
bool LogFontSizeUsable(std::int32_t points);

}  // namespace velmora
