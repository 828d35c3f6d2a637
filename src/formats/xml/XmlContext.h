// SPDX-License-Identifier: MIT
#pragma once

#include "formats/xml/TParseError.h"

namespace formats {

// The state the XML loads share: the report of the latest load, for the callers that
// show why a document did not load. The application owns one and passes it to everything
// that loads documents. (The flag that forbids saving after a failed load is
// store::DataGuard.)
struct XmlContext {
  // Every load resets ErrorCode to 0; a failed load fills in the whole record.
  TParseError ParseError;
};

}  // namespace formats
