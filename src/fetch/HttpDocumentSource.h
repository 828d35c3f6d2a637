// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>

#include "fetch/HttpSettings.h"
#include "formats/feeds/DocumentSource.h"
#include "platform/HttpTransport.h"

namespace fetch {

// The document source of synchronous fetches: a conditional GET over the network for a
// web address, the local file source for a local one. It keeps one session for the whole
// run of the program, so that its connections are reused; redirects are followed by the
// transport. A fetch blocks the calling thread until it is done.
class HttpDocumentSource : public formats::DocumentSource {
 public:
  explicit HttpDocumentSource(HttpSettings settings);
  HttpDocumentSource(const HttpDocumentSource&) = delete;
  HttpDocumentSource& operator=(const HttpDocumentSource&) = delete;
  ~HttpDocumentSource() override;

  formats::FetchResult FetchDocument(const formats::FetchRequest& request) override;

  // Takes changed settings (a new proxy among them): the session is made anew.
  void Reopen(HttpSettings settings);

  const HttpSettings& Settings() const { return settings_; }

  // The request header block of the latest network fetch (empty when it had none).
  const std::string& Header() const { return header_; }

  // The HTTP status of the latest network fetch; 0 before an answer was read.
  int StatusCode() const { return statusCode_; }

 private:
  HttpSettings settings_;
  std::unique_ptr<platform::HttpTransport> transport_;
  formats::LocalFileSource localFiles_;
  std::string header_;
  int statusCode_ = 0;
};

}  // namespace fetch
