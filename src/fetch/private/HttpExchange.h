// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "fetch/HttpSettings.h"
#include "formats/feeds/DocumentSource.h"
#include "platform/HttpTransport.h"

// One conditional GET under the rules, in two halves around the transport: the request to
// send, and what the answer means. The synchronous document source uses both; a fetch
// worker makes the request the same way, handles redirect answers itself, and reads the
// rest of the answers through InterpretResponse.
namespace fetch {

// The request for `url` with the header block `headerBlock` (BuildRequestHeaders): the
// address as the proxy mode wants it, the settings' time-outs and body ceiling, and
// redirects followed by the transport.
platform::HttpRequest MakeHttpRequest(const HttpSettings& settings, const std::string& url,
                                      const std::string& headerBlock);

// What an answer means for a document fetch that sent `lastModified` under `settings`:
// - 200 with the whole body: the document, with the Last-Modified value of the answer;
// - 304: not modified, with `lastModified` kept;
// - no answer at all (no connection, a failed certificate check, a time-out, a redirect
//   without end): failed with OpenFailedMessage();
// - a 200 whose body broke off or passed the ceiling: failed with DownloadFailedMessage();
// - any other status: a failure without a message;
// - an aborted request: a silent failure.
// Every failure but the aborted one carries its cause (FailureCause). `httpStatus` of the
// result is the answer's status (0 without one).
formats::FetchResult InterpretResponse(platform::HttpResponse response, const std::string& lastModified,
                                       const HttpSettings& settings);

// What happened to a request that did not give a document, in one line: the status and
// its meaning, the limit that ended it, or the network library's own words; empty for an
// aborted request and for a document or a 304.
std::string FailureCause(const platform::HttpResponse& response, const HttpSettings& settings);

}  // namespace fetch
