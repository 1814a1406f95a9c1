#include "ui/state_files.h"

#include <utility>

#include "app/history_file.h"
#include "ui/file_error_report.h"

namespace velmora::ui {

StateFiles::StateFiles(UserDialogs& dialogs, FileSystem& fs, std::string cfgPath,
                       std::string oldCmdPath)
    : dialogs_(dialogs),
      fs_(fs),
      cfgPath_(std::move(cfgPath)),
      oldCmdPath_(std::move(oldCmdPath)) {}

bool StateFiles::RemoveStaleTemporaries(const std::string& cmdConfigPath) {
  for (const std::string& path : {cmdConfigPath, cfgPath_, oldCmdPath_}) {
    const SaveResult result = RemoveStaleTemporary(path, fs_);
    if (!result.Ok()) {
      ReportFileError(dialogs_, *result.error);
      return false;
    }
  }
  return true;
}

bool StateFiles::LoadHistory(SentHistory& history) {
  const HistoryLoadResult loaded = LoadHistoryFile(oldCmdPath_, fs_);
  if (loaded.error) {
    ReportFileError(dialogs_, *loaded.error);
    return false;
  }
  if (!loaded.exists) {
    const SaveResult created = SaveHistoryFile(oldCmdPath_, history.Image(), fs_);
    if (!created.Ok()) {
      ReportFileError(dialogs_, *created.error);
      return false;
    }
    historyWritable_ = true;
    return true;
  }
  if (loaded.damaged) {
    ReportFileError(dialogs_, ShortHistoryFileError(oldCmdPath_));
  }
  history.LoadRecords(loaded.image.data(), loaded.image.size());
  historyWritable_ = true;
  return true;
}

StateFiles::CfgStart StateFiles::LoadCfg(CfgRecord& cfg) {
  const CfgLoadResult loaded = cfg.Load(cfgPath_, fs_);
  if (loaded.error) {
    ReportFileError(dialogs_, *loaded.error);
    return CfgStart::Failed;
  }
  if (!loaded.exists) {
    const SaveResult created = cfg.Save(cfgPath_, fs_);
    if (!created.Ok()) {
      ReportFileError(dialogs_, *created.error);
      return CfgStart::Failed;
    }
    return CfgStart::KeepDesign;
  }
  if (loaded.damaged) {
    ReportFileError(dialogs_, ShortCfgFileError(cfgPath_));
    return CfgStart::KeepDesign;
  }
  return CfgStart::Apply;
}

bool StateFiles::SaveHistory(const SentHistory& history) {
  if (!historyWritable_ || !fs_.Exists(oldCmdPath_)) return true;
  const SaveResult saved = SaveHistoryFile(oldCmdPath_, history.Image(), fs_);
  if (saved.Ok()) return true;
  ReportFileError(dialogs_, *saved.error);
  return false;
}

bool StateFiles::SaveCfg(const CfgRecord& cfg) {
  if (!cfgWritable_) return true;
  const SaveResult saved = cfg.Save(cfgPath_, fs_);
  if (saved.Ok()) return true;
  ReportFileError(dialogs_, *saved.error);
  return false;
}

}  // namespace velmora::ui
