#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/file_system.h"
#include "common/bytes.h"

namespace velmora::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the test ends.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora-store-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteRaw(const std::string& path, BytesView bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  Bytes bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// Hand-built record images: a text field is its length byte and characters.
inline void PutText(Bytes& image, std::size_t offset, BytesView text) {
  image[offset] = static_cast<char>(text.size());
  image.replace(offset + 1, text.size(), text);
}

inline void PutInt32(Bytes& image, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) image[offset + i] = static_cast<char>(value >> (8 * i));
}

// The real file system, with operations that fail on request: the disk
// filling up after some bytes of a save, or a rename or a read refused.
class FaultyFileSystem : public FileSystem {
 public:
  std::optional<std::size_t> failWriteAfter;  // bytes written before ENOSPC
  bool failRename = false;
  bool failRead = false;

  FileStatus Read(const std::string& path, std::size_t limit, Bytes& bytes, bool& exists) override {
    if (failRead) {
      exists = true;
      return Fail(EIO);
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
    std::unique_ptr<WritableFile> inner;
    const FileStatus status = real_.Create(path, permissionsOf, inner);
    if (status.Ok()) file = std::make_unique<File>(std::move(inner), *this);
    return status;
  }
  FileStatus Rename(const std::string& from, const std::string& to) override {
    return failRename ? Fail(EIO) : real_.Rename(from, to);
  }
  FileStatus SyncDirectoryOf(const std::string& path) override {
    return real_.SyncDirectoryOf(path);
  }
  FileStatus Remove(const std::string& path) override { return real_.Remove(path); }

 private:
  static FileStatus Fail(int code) { return FileStatus{code, std::strerror(code)}; }

  class File : public WritableFile {
   public:
    File(std::unique_ptr<WritableFile> inner, FaultyFileSystem& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    FileStatus Write(const std::uint8_t* data, std::size_t size) override {
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
    FileStatus SyncAndClose() override { return inner_->SyncAndClose(); }

   private:
    std::unique_ptr<WritableFile> inner_;
    FaultyFileSystem& owner_;
    std::size_t written_ = 0;
  };

  FileSystem& real_ = SystemFileSystem();
};

}  // namespace velmora::testing
