// SPDX-License-Identifier: MIT
#include "ui/QtText.h"

#include "platform/CodePage.h"
#include "text/Convert.h"

namespace ui {

QString ToQString(std::string_view cp932) {
  return QString::fromStdU16String(platform::Cp932ToUtf16(cp932, platform::CharRefs::kDecode));
}

std::string FromQString(const QString& text) {
  return text::WideToJapanese(text.toStdU16String());
}

QString PathToQString(std::string_view utf8Path) {
  return QString::fromUtf8(utf8Path.data(), static_cast<qsizetype>(utf8Path.size()));
}

std::string PathFromQString(const QString& path) {
  return path.toStdString();
}

}  // namespace ui
