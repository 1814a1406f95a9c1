#pragma once

#include <string>

#include "app/cfg_record.h"
#include "storage/file_system.h"
#include "transmit/sent_history.h"

namespace velmora::ui {

class UserDialogs;

inline constexpr char kCfgFile[] = "Cfg";
inline constexpr char kOldCmdFile[] = "OldCmd";
inline constexpr char kCmdConfigFile[] = "CmdConfig";

// The two files that carry the settings and the history from one run to the
// next, "Cfg" and "OldCmd", in the working directory. Every failure is
// reported once through the dialogs, naming the file and the system's reason.
//
// A half-finished start-up must not destroy a good file: the history is
// written back only when it was read (or created) at start-up, and "Cfg"
// only when its restore completed.
class StateFiles {
 public:
  explicit StateFiles(UserDialogs& dialogs, FileSystem& fs = SystemFileSystem(),
                      std::string cfgPath = kCfgFile, std::string oldCmdPath = kOldCmdFile);

  // Removes the temporaries that saves interrupted by a crash left beside
  // the three files. Returns false after a reported failure.
  bool RemoveStaleTemporaries(const std::string& cmdConfigPath);

  // Start-up: reads "OldCmd" into the history, or creates it with the empty
  // history when it is missing. A file of fewer than 50 whole records is
  // reported and its whole records are kept. Returns false when start-up
  // must stop (a read or the creation failed).
  bool LoadHistory(SentHistory& history);

  enum class CfgStart {
    Apply,       // the record came from the file
    KeepDesign,  // created anew or damaged: the controls keep their design
    Failed,      // reported; start-up stops
  };
  // Start-up: reads "Cfg" into the record, or creates it from the record
  // (all zero then) when it is missing.
  CfgStart LoadCfg(CfgRecord& cfg);
  // The record has been restored into the controls (or the design values
  // were kept on purpose): shut-down may write it.
  void CfgRestored() { cfgWritable_ = true; }

  // Shut-down: rewrites "OldCmd" when it exists and was loaded at start-up.
  // Returns false after a reported failure.
  bool SaveHistory(const SentHistory& history);
  bool CfgWritable() const { return cfgWritable_; }
  // Shut-down: writes the record. Returns false after a reported failure.
  bool SaveCfg(const CfgRecord& cfg);

 private:
  UserDialogs& dialogs_;
  FileSystem& fs_;
  std::string cfgPath_;
  std::string oldCmdPath_;
  bool historyWritable_ = false;
  bool cfgWritable_ = false;
};

}  // namespace velmora::ui
