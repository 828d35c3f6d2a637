// SPDX-License-Identifier: MIT
#pragma once

#include "formats/TParseError.h"

namespace formats {

// The state the XML loads share: the report of the latest load, for the callers that
// show why a document did not load, and the flag that forbids saving. The application
// owns one and passes it to everything that loads documents.
struct XmlContext {
  // Every load resets ErrorCode to 0; a failed load fills in the whole record.
  TParseError ParseError;

  // Set by the data layer when the channel data could not be loaded beyond repair (the
  // parser itself is always there); while it is set nothing saves the channel data.
  bool XmlParserMissing = false;
};

}  // namespace formats
