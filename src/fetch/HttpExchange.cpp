// SPDX-License-Identifier: MIT
#include "fetch/private/HttpExchange.h"

#include "fetch/private/HttpRules.h"

namespace fetch {

platform::HttpRequest MakeHttpRequest(const HttpSettings& settings, const std::string& url,
                                      const std::string& headerBlock) {
  platform::HttpRequest request;
  request.url = ProxyRequestUrl(url, settings.Proxy);
  request.headerLines = HeaderLines(headerBlock);
  request.followRedirects = true;
  request.connectTimeoutMs = settings.ConnectTimeoutMs;
  request.receiveTimeoutMs = settings.ReceiveTimeoutMs;
  request.totalTimeoutMs = settings.TotalTimeoutMs;
  request.maxBodyBytes = settings.MaxBodyBytes;
  return request;
}

std::string FailureCause(const platform::HttpResponse& response, const HttpSettings& settings) {
  using platform::HttpLimit;
  using platform::HttpOutcome;
  if (response.outcome == HttpOutcome::kAborted) return {};
  switch (response.limit) {
    case HttpLimit::kReceiveTimeout:
      return SilenceCause(settings.ReceiveTimeoutMs);
    case HttpLimit::kTotalTimeout:
      return DeadlineCause(settings.TotalTimeoutMs);
    case HttpLimit::kSize:
      return formats::SizeLimitCause(settings.MaxBodyBytes);
    case HttpLimit::kRedirects:
      return TooManyRedirectsCause();
    case HttpLimit::kNone:
      break;
  }
  if (response.status != 0 && response.status != 200 && response.status != 304) return StatusCause(response.status);
  if (response.outcome == HttpOutcome::kCompleted) return {};
  return response.error;
}

formats::FetchResult InterpretResponse(platform::HttpResponse response, const std::string& lastModified,
                                       const HttpSettings& settings) {
  using platform::HttpOutcome;
  formats::FetchResult result;
  const std::string cause = FailureCause(response, settings);
  if (response.outcome == HttpOutcome::kAborted) {
    result = formats::FetchResult::Failed();
  } else if (response.status == 0) {
    result = formats::FetchResult::Failed(OpenFailedMessage(), cause);
  } else if (response.status == 304) {
    result = formats::FetchResult::NotModified(lastModified);
  } else if (response.status != 200) {
    result = formats::FetchResult::Failed({}, cause);
  } else if (response.outcome != HttpOutcome::kCompleted) {
    result = formats::FetchResult::Failed(DownloadFailedMessage(), cause);
  } else {
    result = formats::FetchResult::Document(std::move(response.body), ExtractLastModified(response.rawHeaders));
  }
  result.httpStatus = response.status;
  return result;
}

}  // namespace fetch
