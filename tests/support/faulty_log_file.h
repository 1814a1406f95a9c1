#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "logfile/log_file_output.h"

namespace velmora::testing {

// The real log file, with a creation that is refused and a disk that fills
// up on request. Bytes that fit before the disk is full reach the real file.
class FaultyLogFileCreator : public LogFileCreator {
 public:
  std::optional<int> failCreate;  // errno of a refused creation
  // Bytes that may still be written before every write fails with ENOSPC;
  // reset it to free the disk again.
  std::optional<std::size_t> spaceLeft;
  std::vector<std::string> created;  // paths, in order

  LogFileStatus Create(const std::string& path, std::unique_ptr<LogFileOutput>& file) override {
    if (failCreate) return Fail(*failCreate);
    std::unique_ptr<LogFileOutput> inner;
    const LogFileStatus status = SystemLogFileCreator().Create(path, inner);
    if (!status.Ok()) return status;
    created.push_back(path);
    file = std::make_unique<File>(std::move(inner), *this);
    return {};
  }

  static LogFileStatus Fail(int code) { return ErrnoStatus(code); }

 private:
  class File : public LogFileOutput {
   public:
    File(std::unique_ptr<LogFileOutput> inner, FaultyLogFileCreator& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    LogFileStatus Append(const char* data, std::size_t size) override {
      if (!owner_.spaceLeft) return inner_->Append(data, size);
      const std::size_t fits = std::min(size, *owner_.spaceLeft);
      *owner_.spaceLeft -= fits;
      if (fits > 0) {
        const LogFileStatus status = inner_->Append(data, fits);
        if (!status.Ok()) return status;
      }
      return fits == size ? LogFileStatus{} : Fail(ENOSPC);
    }

   private:
    std::unique_ptr<LogFileOutput> inner_;
    FaultyLogFileCreator& owner_;
  };
};

}  // namespace velmora::testing
