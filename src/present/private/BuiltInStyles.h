// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// The two styles that come with the program and need no file: "Simple", the default, and
// "Classic". They share one page template and differ in a few rules of their CSS. Both
// texts are plain ASCII (so code page 932 as they are), their lines end in CR LF like the
// program's other texts, and neither ends with a line break: they are right-trimmed
// already. The template carries "$" placeholders and block markers exactly as a style file
// would.
namespace present {

inline constexpr char kSimpleStyleName[] = "Simple";
inline constexpr char kClassicStyleName[] = "Classic";

enum class BuiltInStyle { kSimple, kClassic };

// The page template of both built-in styles: the page controls, the channel header block,
// the default and the multi item blocks (no single block), and the page controls again.
std::string BuiltInPageTemplate();

// The CSS of a built-in style, one rule per line as "selector { declaration; ... }".
std::string BuiltInStyleCss(BuiltInStyle style);

}  // namespace present
