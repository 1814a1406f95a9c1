#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>

namespace velmora::ui {

// A fresh working directory for one window: the window keeps its files in
// the current directory. The previous directory comes back at the end.
class WorkDir {
 public:
  WorkDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
  ~WorkDir() { QDir::setCurrent(previous_); }
  WorkDir(const WorkDir&) = delete;
  WorkDir& operator=(const WorkDir&) = delete;

 private:
  QTemporaryDir dir_;
  QString previous_;
};

inline QByteArray ReadFile(const QString& name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

inline void WriteFile(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

// Hand-built images. A text field is its length byte, then the characters;
// the bytes after them are left alone.
inline void PutText(QByteArray& image, int offset, const QByteArray& text) {
  image[offset] = static_cast<char>(text.size());
  image.replace(offset + 1, text.size(), text);
}

inline void PutInt32(QByteArray& image, int offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<char>(value >> (8 * i));
}

// "Cfg" after a normal exit with untouched controls and an empty port list:
// 8 data bits (item 3), font size 8, button face on window text, ASCII,
// manual sending, a period of 1000 ms, the tail "$0D" and the name view.
inline QByteArray DesignCfg() {
  QByteArray image(792, '\0');
  image[7] = 3;
  PutInt32(image, 268, 8);
  PutInt32(image, 272, 0xFF00000F);
  PutInt32(image, 276, 0xFF000008);
  image[281] = 1;
  image[282] = 1;
  PutInt32(image, 284, 1000);
  PutText(image, 540, "$0D");
  image[791] = 1;
  return image;
}

// One command list of "CmdConfig": 102580 bytes, the name at 0, the
// signature 12345 at 102500.
inline constexpr int kListRecordBytes = 102580;
inline QByteArray ListRecord(const QByteArray& name) {
  QByteArray record(kListRecordBytes, '\0');
  PutText(record, 0, name);
  PutInt32(record, 102500, 12345);
  return record;
}

inline QByteArray NamedLists(int count) {
  QByteArray file;
  for (int n = 1; n <= count; ++n) file += ListRecord("List " + QByteArray::number(n));
  return file;
}

}  // namespace velmora::ui
