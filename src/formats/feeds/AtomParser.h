// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/feeds/FeedRun.h"
#include "formats/xml/TXMLList.h"

namespace formats {

// Whether an element of an Atom document keeps its content as markup when the document's
// records are built: a content, tagline, summary or title element whose mode is "xml", or
// whose type is XHTML or HTML ("text/html" only in Atom 0.2 documents, `feedVersion`).
bool AtomRawMarkupTest(const TXMLItemType& element, int64_t feedVersion);

// The three readings of an Atom text construct (title, summary, content, tagline).
struct TextConstruct {
  std::string plain;   // text
  std::string markup;  // HTML or XHTML text
  std::string base;    // the element's own xml:base
};

// Reads a text construct into `out`; values already in `out` stay where the rules only
// fill empty ones (the parts of a multipart/alternative construct share one result).
void ReadTextConstruct(const TXMLItemType& element, int64_t feedVersion, TextConstruct& out);

// An address made absolute against a base: an address with a scheme stays, "/path" takes
// the base's scheme and host, "//host/path" its scheme, anything else the base's folder.
// No "." or ".." segments are resolved.
std::string ResolveAddress(std::string_view base, std::string_view address);

// Reads an Atom 0.3 or 1.0 document (root "feed"): sets run.FeedVersion (0, or the root's
// version), fills run.Header and hands every titled entry to MergeItem until run.Stop is
// set. Relative links are resolved against xml:base.
void ParseAtomDocument(const TXMLList& topLevel, FeedRun& run);

}  // namespace formats
