// SPDX-License-Identifier: MIT
#include "fetch/HttpDocumentSource.h"

#include "fetch/private/HttpExchange.h"
#include "fetch/private/HttpRules.h"

namespace fetch {

HttpDocumentSource::HttpDocumentSource(HttpSettings settings) {
  Reopen(std::move(settings));
}

HttpDocumentSource::~HttpDocumentSource() = default;

void HttpDocumentSource::Reopen(HttpSettings settings) {
  settings_ = std::move(settings);
  transport_ = std::make_unique<platform::HttpTransport>(settings_.UserAgent, TransportProxy(settings_.Proxy));
}

formats::FetchResult HttpDocumentSource::FetchDocument(const formats::FetchRequest& request) {
  header_.clear();
  statusCode_ = 0;
  if (formats::IsLocalFileAddress(request.address)) return localFiles_.FetchDocument(request);
  if (!transport_->Ready()) return formats::FetchResult::Failed(NotInitializedMessage());
  header_ = BuildRequestHeaders(request.lastModified, request.authorization);
  platform::HttpResponse response = transport_->Get(MakeHttpRequest(settings_, request.address, header_));
  statusCode_ = response.status;
  return InterpretResponse(std::move(response), request.lastModified, settings_);
}

}  // namespace fetch
