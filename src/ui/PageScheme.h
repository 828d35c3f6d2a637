// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QWebEngineUrlSchemeHandler>
#include <string>

namespace ui {

// The program's own pages live under "plover://page/": the generated headline page at
// "plover://page/summary" and the files of the data folder's system/ folder (the state
// images, the styles) at "plover://page/system/...". The scheme is a secure one of its
// own: a page there cannot read local files, and web pages can neither show nor probe it.
inline constexpr char kPageScheme[] = "plover";
inline constexpr char kPageHost[] = "page";

// Registers the scheme with the web engine. Must run before the QApplication exists.
void RegisterPageScheme();

// Serves the scheme: generated pages from memory, files from system/. Requests that a
// page of another origin started are refused, and so is any name that leaves system/.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
  Q_OBJECT

 public:
  // `systemFolder` is the data folder's system/ folder (a UTF-8 path).
  explicit PageSchemeHandler(std::string systemFolder, QObject* parent = nullptr);

  // Puts a generated page (UTF-8 HTML) at `path`, e.g. "/summary".
  void SetPage(const QString& path, QByteArray html);

  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  std::string systemFolder_;
  QHash<QString, QByteArray> pages_;
};

}  // namespace ui
