#pragma once

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "storage/file_system.h"

namespace velmora::testing {

// What a failing close reports: a quota exceeded, as NFS does; the Windows C
// runtime has no such value.
#ifdef EDQUOT
inline constexpr int kCloseFailure = EDQUOT;
#else
inline constexpr int kCloseFailure = ENOSPC;
#endif

// The real file system, with operations that fail on request: the disk
// filling up after some bytes of a save, any other step of a save, or a
// read refused. Counts the files it opened for a rewrite in place.
class FaultyFileSystem : public FileSystem {
 public:
  std::optional<std::size_t> failWriteAfter;  // bytes written before ENOSPC
  bool failSync = false;                      // EIO before the flush; the file is closed unflushed
  bool failClose = false;                     // EDQUOT after the flush and close (as NFS reports)
  bool failRename = false;
  int renameError = EIO;              // the refusal of a failed rename
  std::optional<int> failCreateWith;  // the refusal of every creation
  bool failDirectorySync = false;     // EIO after the rename
  bool failRead = false;
  int readError = EIO;  // the refusal of a failed read
  int inPlaceOpens = 0;

  // The steps of saves in the order they ran ("create", "write", "sync and
  // close", "rename", "sync directory", "remove"), failed ones included.
  std::vector<std::string> steps;

  FileStatus Read(const std::string& path, std::size_t limit, Bytes& bytes, bool& exists) override {
    if (failRead) {
      exists = true;
      return Fail(readError);
    }
    return real_.Read(path, limit, bytes, exists);
  }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  FileStatus ResolveTarget(const std::string& path, std::string& target) override {
    return real_.ResolveTarget(path, target);
  }
  FileStatus CheckReplaceable(const std::string& target) override {
    return real_.CheckReplaceable(target);
  }
  FileStatus Create(const std::string& path, const std::string& permissionsOf,
                    std::unique_ptr<WritableFile>& file) override {
    steps.push_back("create");
    if (failCreateWith) return Fail(*failCreateWith);
    std::unique_ptr<WritableFile> inner;
    const FileStatus status = real_.Create(path, permissionsOf, inner);
    if (status.Ok()) file = std::make_unique<File>(std::move(inner), *this);
    return status;
  }
  FileStatus Rename(const std::string& from, const std::string& to) override {
    steps.push_back("rename");
    return failRename ? Fail(renameError) : real_.Rename(from, to);
  }
  FileStatus SyncDirectoryOf(const std::string& path) override {
    steps.push_back("sync directory");
    const FileStatus status = real_.SyncDirectoryOf(path);
    return failDirectorySync ? Fail(EIO) : status;
  }
  FileStatus Remove(const std::string& path) override {
    steps.push_back("remove");
    return real_.Remove(path);
  }
  bool RewritesInPlace() const override { return real_.RewritesInPlace(); }
  FileStatus OpenInPlace(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    ++inPlaceOpens;
    std::unique_ptr<WritableFile> inner;
    const FileStatus status = real_.OpenInPlace(path, inner);
    if (status.Ok()) file = std::make_unique<File>(std::move(inner), *this);
    return status;
  }

 private:
  static FileStatus Fail(int code) { return ErrnoStatus(code); }

  class File : public WritableFile {
   public:
    File(std::unique_ptr<WritableFile> inner, FaultyFileSystem& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    FileStatus Write(const std::uint8_t* data, std::size_t size) override {
      owner_.steps.push_back("write");
      if (owner_.failWriteAfter) {
        const std::size_t room =
            *owner_.failWriteAfter - std::min(*owner_.failWriteAfter, written_);
        if (size > room) {
          inner_->Write(data, room);  // the part that still fitted reaches the disk
          written_ += room;
          return Fail(ENOSPC);
        }
      }
      written_ += size;
      return inner_->Write(data, size);
    }
    FileStatus SyncAndClose() override {
      owner_.steps.push_back("sync and close");
      if (owner_.failSync) return Fail(EIO);
      const FileStatus status = inner_->SyncAndClose();
      return owner_.failClose ? Fail(kCloseFailure) : status;
    }

   private:
    std::unique_ptr<WritableFile> inner_;
    FaultyFileSystem& owner_;
    std::size_t written_ = 0;
  };

  FileSystem& real_ = SystemFileSystem();
};

}  // namespace velmora::testing
