// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// The Bloglines service sent documents that did not load as XML: item lists with entities
// escaped twice and raw text in titles, and subscription lists with titles cut inside a
// UTF-8 character. These repairs make such a document loadable; they work line by line
// and join the lines with CR LF.
namespace formats {

// Repairs an item list: decodes &amp; &lt; &gt; &quot;, drops CDATA markers, and wraps the
// content of title, description, webMaster and dc:subject in one CDATA section each
// (cut to valid UTF-8).
std::string RepairBloglinesItems(std::string_view document);

// Repairs a subscription list: a title that is not valid UTF-8, is empty, or is longer
// than 48 bytes in code page 932 is shortened and ends in an ellipsis.
std::string RepairBloglinesList(std::string_view document);

// Applies the repair that fits the address (none for other addresses). Returns whether
// the document changed.
bool RepairBloglinesDocument(std::string& document, std::string_view address, bool bloglinesSync);

}  // namespace formats
