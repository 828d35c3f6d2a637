// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>
#include <string_view>

// The edge between the program's code page 932 text and Qt's strings. Character
// references that stand for characters code page 932 cannot hold are shown as the
// characters; text read back from a widget keeps such characters as references.
namespace ui {

QString ToQString(std::string_view cp932);
std::string FromQString(const QString& text);

// A local path (UTF-8 in the program) and Qt's form of it.
QString PathToQString(std::string_view utf8Path);
std::string PathFromQString(const QString& path);

// A caption written in the source (UTF-8) as the window shows it.
inline QString J(const char* utf8) {
  return QString::fromUtf8(utf8);
}

}  // namespace ui
