// SPDX-License-Identifier: MIT
#include "fetch/HttpExchange.h"

#include "fetch/HttpRules.h"

namespace fetch {

platform::HttpRequest MakeHttpRequest(const HttpSettings& settings, const std::string& url,
                                      const std::string& headerBlock) {
  platform::HttpRequest request;
  request.url = ProxyRequestUrl(url, settings.Proxy);
  request.headerLines = HeaderLines(headerBlock);
  request.followRedirects = true;
  request.connectTimeoutMs = settings.ConnectTimeoutMs;
  request.receiveTimeoutMs = settings.ReceiveTimeoutMs;
  request.maxBodyBytes = settings.MaxBodyBytes;
  return request;
}

formats::FetchResult InterpretResponse(platform::HttpResponse response, const std::string& lastModified) {
  using platform::HttpOutcome;
  formats::FetchResult result;
  if (response.outcome == HttpOutcome::kAborted) {
    result = formats::FetchResult::Failed();
  } else if (response.status == 0) {
    result = formats::FetchResult::Failed(OpenFailedMessage());
  } else if (response.status == 304) {
    result = formats::FetchResult::NotModified(lastModified);
  } else if (response.status != 200) {
    result = formats::FetchResult::Failed();
  } else if (response.outcome != HttpOutcome::kCompleted) {
    result = formats::FetchResult::Failed(DownloadFailedMessage());
  } else {
    result = formats::FetchResult::Document(std::move(response.body), ExtractLastModified(response.rawHeaders));
  }
  result.httpStatus = response.status;
  return result;
}

}  // namespace fetch
