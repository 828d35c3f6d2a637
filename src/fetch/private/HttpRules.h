// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The rules of a conditional GET that do not depend on the network: the request header
// block, Basic authorization, the capture of Last-Modified, and the messages of a failed
// fetch. The synchronous document source and every fetch worker apply the same rules.
namespace fetch {

// Base64 with the standard alphabet and "=" padding, without line breaks.
std::string EncodeBase64(std::string_view bytes);

// The header block of a request: nothing at all when there is neither a stored
// Last-Modified date nor an authorization ("user:password"); otherwise "Accept:*/*", then
// "If-Modified-Since: " + date, then "Authorization: Basic " + Base64, each line but the
// authorization one ending in CR LF.
std::string BuildRequestHeaders(std::string_view lastModified, std::string_view authorization);

// The header block as single lines for the transport, without their line breaks. A stray
// CR or LF inside a line (a damaged stored date) is dropped, so that a stored value can
// never add a header line of its own.
std::vector<std::string> HeaderLines(std::string_view block);

// The value of the first "Last-Modified:" line of a raw response header block (the name
// in any case), trimmed of blanks and full-width spaces at both ends; empty when there is
// none. The whole block is searched, however long it is.
std::string ExtractLastModified(std::string_view rawHeaders);

// The messages of failed fetches (code page 932).
std::string NotInitializedMessage();  // no network session could be had
std::string OpenFailedMessage();      // no answer: the address could not be opened
std::string DownloadFailedMessage();  // the answer broke off or passed the size ceiling

// The line a report puts under the message to say what happened, in the words of the
// protocol (English, as a server's own words are).
std::string StatusCause(int status);           // "404 Not Found"; "HTTP 599" for a number without a meaning
std::string TooManyRedirectsCause();           // "too many redirects"
std::string SilenceCause(int64_t timeoutMs);   // "no data for 20 s"
std::string DeadlineCause(int64_t timeoutMs);  // "time limit 300 s exceeded"
std::string GivenUpCause(int64_t timeoutMs);   // "no answer within 20 s" (the update run's watch)

}  // namespace fetch
