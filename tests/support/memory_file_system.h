#pragma once

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "common/bytes.h"
#include "storage/file_system.h"

namespace velmora::testing {

// Files held in memory by name, so that a loader and a save run thousands of
// times a second without touching the disk (the fuzz targets, the tests that
// load and save a file a thousand times). No links, no permissions.
class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::string, Bytes> files;

  FileStatus Read(const std::string& path, std::size_t limit, Bytes& bytes, bool& exists) override {
    const auto found = files.find(path);
    exists = found != files.end();
    bytes = exists ? found->second.substr(0, limit) : Bytes();
    return {};
  }
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  FileStatus ResolveTarget(const std::string& path, std::string& target) override {
    target = path;
    return {};
  }
  FileStatus CheckReplaceable(const std::string&) override { return {}; }
  FileStatus Create(const std::string& path, const std::string&,
                    std::unique_ptr<WritableFile>& file) override {
    files[path].clear();
    file = std::make_unique<File>(files[path]);
    return {};
  }
  FileStatus Rename(const std::string& from, const std::string& to) override {
    const auto found = files.find(from);
    if (found == files.end()) return FileStatus{ENOENT, std::strerror(ENOENT)};
    Bytes moved = std::move(found->second);
    files.erase(found);
    files[to] = std::move(moved);
    return {};
  }
  FileStatus SyncDirectoryOf(const std::string&) override { return {}; }
  FileStatus Remove(const std::string& path) override {
    files.erase(path);
    return {};
  }

 private:
  class File : public WritableFile {
   public:
    explicit File(Bytes& bytes) : bytes_(bytes) {}
    FileStatus Write(const std::uint8_t* data, std::size_t size) override {
      bytes_.append(reinterpret_cast<const char*>(data), size);
      return {};
    }
    FileStatus SyncAndClose() override { return {}; }

   private:
    Bytes& bytes_;
  };
};

}  // namespace velmora::testing
