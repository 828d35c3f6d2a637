// SPDX-License-Identifier: MIT
#include "ui/PageScheme.h"

#include <QBuffer>
#include <QFile>
#include <QUrl>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <optional>

#include "platform/SafePath.h"
#include "ui/QtText.h"

namespace ui {
namespace {

constexpr char kSystemPrefix[] = "/system/";

QByteArray MimeType(const QString& path) {
  const QString lower = path.toLower();
  if (lower.endsWith(QStringLiteral(".gif"))) return "image/gif";
  if (lower.endsWith(QStringLiteral(".png"))) return "image/png";
  if (lower.endsWith(QStringLiteral(".jpg")) || lower.endsWith(QStringLiteral(".jpeg"))) return "image/jpeg";
  if (lower.endsWith(QStringLiteral(".css"))) return "text/css";
  if (lower.endsWith(QStringLiteral(".svg"))) return "image/svg+xml";
  return "application/octet-stream";
}

void Reply(QWebEngineUrlRequestJob* job, const QByteArray& mime, const QByteArray& bytes) {
  auto* buffer = new QBuffer(job);
  buffer->setData(bytes);
  buffer->open(QIODevice::ReadOnly);
  job->reply(mime, buffer);
}

}  // namespace

void RegisterPageScheme() {
  QWebEngineUrlScheme scheme(kPageScheme);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
  // Secure only: a local scheme would let page scripts read local files, a CORS-enabled
  // one would let any site read the pages.
  scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
  QWebEngineUrlScheme::registerScheme(scheme);
}

PageSchemeHandler::PageSchemeHandler(std::string systemFolder, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), systemFolder_(std::move(systemFolder)) {
  // Until the first headline page is made, the summary address shows an empty page, not
  // the engine's page for an address that is not there (a stray button on white).
  pages_.insert(QStringLiteral("/summary"), QByteArrayLiteral("<html><body></body></html>"));
}

void PageSchemeHandler::SetPage(const QString& path, QByteArray html) {
  pages_.insert(path, std::move(html));
}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  const QUrl url = job->requestUrl();
  const QUrl initiator = job->initiator();
  // The program navigates with no initiator; its pages ask with their own origin. Anything
  // else is a web page reaching into the program.
  const bool ours = initiator.isEmpty() || initiator.scheme() == QLatin1String(kPageScheme);
  if (!ours || url.host() != QLatin1String(kPageHost) || job->requestMethod() != "GET") {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  const QString path = url.path();
  if (auto page = pages_.constFind(path); page != pages_.constEnd()) {
    Reply(job, "text/html;charset=utf-8", *page);
    return;
  }
  if (path.startsWith(QLatin1String(kSystemPrefix))) {
    const std::string name = PathFromQString(path.mid(static_cast<qsizetype>(sizeof kSystemPrefix) - 1));
    if (const std::optional<std::string> file = platform::FileInsideFolder(systemFolder_, name)) {
      QFile in(PathToQString(*file));
      if (in.open(QIODevice::ReadOnly)) {
        Reply(job, MimeType(path), in.readAll());
        return;
      }
    }
  }
  job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

}  // namespace ui
