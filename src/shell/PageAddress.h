// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

// The addresses the browser tabs treat specially.
namespace shell {

// The address of the generated headline page. The desktop program serves the page under
// its own "plover:" scheme, so a view that shows it reports exactly this address, and
// "this view shows the summary" is a comparison with it. A tab whose view shows anything
// else shows a site.
inline constexpr std::string_view kSummaryAddress = "plover://page/summary";

// What a view shows after going "home" when no home page is set: an empty page.
inline constexpr std::string_view kBlankAddress = "about:blank";

// Whether the address is the summary address, without regard to the case of ASCII
// letters. A fragment ("#item3") is ignored: jumping inside the headline page does not
// leave it.
bool IsSummaryAddress(std::string_view address);

// Whether a location counts as empty: nothing shown yet, or the empty page.
bool IsEmptyLocation(std::string_view location);

// Whether the address, after leading blanks, starts with a scheme that only the program
// itself understands: "varnholt:" (the generated pages' commands), "feed:" and
// "enclosure:". Such an address is never shown in a view nor handed to another program.
bool IsCommandAddress(std::string_view address);

// Whether the address names a web archive (".mht"), which is shown as it is.
bool IsWebArchiveAddress(std::string_view address);

}  // namespace shell
