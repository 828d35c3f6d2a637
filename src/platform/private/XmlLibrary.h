// SPDX-License-Identifier: MIT
#pragma once

namespace platform {

// Sets up libxml2 once for the whole process, from whichever thread parses first: its
// parser, the encoding aliases of old Japanese documents (the Shift_JIS family read as
// CP932, EUC-JP as EUC-JP-MS) and a loader that refuses every external entity. XML and
// HTML parsing both come through here first, so no thread reads the alias table while
// another fills it.
void InitialiseXmlLibrary();

}  // namespace platform
