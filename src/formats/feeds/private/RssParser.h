// SPDX-License-Identifier: MIT
#pragma once

#include "formats/feeds/FeedRun.h"
#include "formats/xml/TXMLList.h"

namespace formats {

// Reads an RSS 0.9x/2.0 document (root "rss") or an RSS 1.0 document (root "rdf:RDF"):
// sets run.FeedVersion (0.9 or the root's version for "rss", 0 for RSS 1.0; left as it is
// for any other root, which reads nothing), fills run.Header from the channel's elements
// and hands every titled item to MergeItem until run.Stop is set.
void ParseRssDocument(const TXMLList& topLevel, FeedRun& run);

}  // namespace formats
