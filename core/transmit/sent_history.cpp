#include "transmit/sent_history.h"

#include <algorithm>
#include <cstring>

namespace velmora {

namespace {

Bytes RecordText(const SentHistory::RecordImage& record) {
  return Bytes(reinterpret_cast<const char*>(record.data() + 1), record[0]);
}

bool Holds(const SentHistory::RecordImage& record, BytesView text) {
  return record[0] == text.size() && std::memcmp(record.data() + 1, text.data(), text.size()) == 0;
}

}  // namespace

void SentHistory::Record(BytesView command) {
  if (command.empty() || command.size() > static_cast<std::size_t>(kMaxRecorded)) return;
  int k = kEntries;
  for (int n = kEntries; n >= 1; --n) {
    if (Holds(records_[n - 1], command)) {
      k = n;
      break;
    }
  }
  // Whole records move, stale bytes after the text included.
  for (int n = k; n >= 2; --n) records_[n - 1] = records_[n - 2];
  RecordImage& top = records_[0];
  top[0] = static_cast<std::uint8_t>(command.size());
  std::memcpy(top.data() + 1, command.data(), command.size());
}

Bytes SentHistory::Entry(int n) const {
  if (n < 1 || n > kEntries) return {};
  return RecordText(records_[n - 1]);
}

std::vector<Bytes> SentHistory::Shown() const {
  std::vector<Bytes> shown;
  for (const RecordImage& record : records_) {
    if (record[0] != 0) shown.push_back(RecordText(record));
  }
  return shown;
}

std::size_t SentHistory::LoadRecords(const std::uint8_t* data, std::size_t size) {
  const std::size_t whole = data == nullptr ? 0 : size / kRecordSize;
  const std::size_t taken = std::min<std::size_t>(whole, kEntries);
  records_ = {};
  for (std::size_t n = 0; n < taken; ++n) {
    std::memcpy(records_[n].data(), data + n * kRecordSize, kRecordSize);
  }
  return whole;
}

SentHistory::FileImage SentHistory::Image() const {
  FileImage image{};
  for (std::size_t n = 0; n < records_.size(); ++n) {
    std::memcpy(image.data() + n * kRecordSize, records_[n].data(), kRecordSize);
  }
  return image;
}

}  // namespace velmora
