// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Where feed processing gets a document when nobody handed one over: an address is read
// either from the network or, when it names a local file, from the disk. The network
// source is supplied by the fetch layer; the local one is here.
namespace formats {

// One fetch.
struct FetchRequest {
  std::string address;
  std::string lastModified;   // sent as If-Modified-Since when not empty
  std::string authorization;  // "user:password" for Basic authorization; empty = none
};

// What a fetch gave.
struct FetchResult {
  enum class Status {
    kDocument,     // `bytes` hold the document
    kNotModified,  // the server has nothing new (or a page gave nothing to read)
    kFailed,       // `message` says why (code page 932); empty for a silent failure
  };
  Status status = Status::kFailed;
  std::string bytes;
  std::string lastModified;  // the server's value after a document; the request's after "not modified"
  std::string message;
  int httpStatus = 0;  // 0 for local files

  static FetchResult Document(std::string bytes, std::string lastModified = {}) {
    FetchResult result;
    result.status = Status::kDocument;
    result.bytes = std::move(bytes);
    result.lastModified = std::move(lastModified);
    return result;
  }
  static FetchResult NotModified(std::string lastModified = {}) {
    FetchResult result;
    result.status = Status::kNotModified;
    result.lastModified = std::move(lastModified);
    return result;
  }
  static FetchResult Failed(std::string message = {}) {
    FetchResult result;
    result.message = std::move(message);
    return result;
  }
};

// The synchronous document source.
class DocumentSource {
 public:
  virtual ~DocumentSource() = default;
  virtual FetchResult FetchDocument(const FetchRequest& request) = 0;
};

// Whether an address names a local file: it has no scheme ("xxx://") or begins with
// "file:". Every part of the program that must tell the two apart asks here.
bool IsLocalFileAddress(std::string_view address);

// The native path (UTF-8) of a local file address: "file:" forms lose their prefix (and
// an empty or "localhost" host) and their %XX escapes; the text is converted from code
// page 932.
std::string LocalFilePath(std::string_view address);

// Reads local file addresses. A missing or unreadable file is a silent failure, as a
// fetch that found nothing; last-modified dates play no part.
class LocalFileSource : public DocumentSource {
 public:
  FetchResult FetchDocument(const FetchRequest& request) override;
};

}  // namespace formats
