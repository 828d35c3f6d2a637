// SPDX-License-Identifier: MIT
#include "present/private/BuiltInStyles.h"

#include <iterator>
#include <string_view>

namespace present {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// One line each; the empty lines part the blocks.
constexpr std::string_view kTemplateLines[] = {
    "$ANCHOR_PAGE_CONTROL$",
    "",
    "$CHANNEL_HEADER_START$",
    "<div class=\"header\">",
    "<table>",
    "<tr>",
    "<td width=\"100%\">",
    "<div class=\"channel_title\">$ANCHOR_CHANNEL_TREE_TITLE$</div>",
    "<div class=\"channel_desc\">$CHANNEL_DESCRIPTION$</div>",
    "</td>",
    "<td valign=\"top\">",
    "$ANCHOR_IMAGE$",
    "</td>",
    "</tr>",
    "</table>",
    "</div>",
    "$CHANNEL_HEADER_END$",
    "",
    "$ITEM_DEFAULT_START$",
    "<div class=\"main\">",
    "<div class=\"title\">$ANCHOR_ITEM_TITLE$ $ANCHOR_ITEM_ENCLOSURE$</div>",
    "<div class=\"desc\">",
    "$ITEM_DESCRIPTION$",
    "<div class=\"right\">",
    "$ITEM_DATE$ $ITEM_CREATOR$<br>$ANCHOR_CHANNEL_TITLE$ <a href=\"$CHANNEL_FEED$\">[rss]</a>",
    "<br>$ANCHOR_IMAGE$",
    "</div>",
    "</div>",
    "</div>",
    "$ITEM_DEFAULT_END$",
    "",
    "$ITEM_MULTI_START$",
    "<div class=\"items\">",
    "<div class=\"title\">$ANCHOR_ITEM_CHECK$ $ANCHOR_ITEM_TITLE$ $ANCHOR_ITEM_ENCLOSURE$</div>",
    "<div class=\"desc\">",
    "$ITEM_DESCRIPTION$",
    "<div class=\"right\">$ITEM_DATE$ $ITEM_CREATOR$ $ANCHOR_ITEM_OPTION$<br>$ANCHOR_CHANNEL_TREE_TITLE$</div>",
    "</div>",
    "</div>",
    "$ITEM_MULTI_END$",
    "",
    "$ANCHOR_PAGE_CONTROL$",
};

// One CSS rule: the declarations of "Simple", and those of "Classic" where it has its own
// (empty where it takes the rule of "Simple"). Both styles keep the rules in this order.
struct CssRule {
  std::string_view selector;
  std::string_view simple;
  std::string_view classic;
};

constexpr CssRule kCssRules[] = {
    {"body",
     "font-family: verdana; color: black; margin: 0; padding: 12px; background-color: #f0f0f0; font-size: small", ""},
    {"div.header", "margin: 20px 8px 8px 8px; width: 100%", ""},
    {"div.channel_title", "font-size: 100%; font-weight: bold", ""},
    {"div.channel_desc", "padding-top: 0.5em; font-size: 80%", ""},
    {"div.items",
     "background-color: #ffffff; margin: 10px; border-width: 1px; border-style: solid; padding-left: 0.8em; "
     "padding-right: 0.8em; padding-bottom: 0.6em; border-color: #333333; width: 100%",
     "background-color: #ffffff; margin: 10px; border-width: 1px; border-style: solid; padding: 0; "
     "padding-bottom: 0.6em; border-color: #333333; width: 100%"},
    {"div.main",
     "background-color: #ffffff; margin: 0px; border-width: 1px; border-style: solid; padding-left: 0.8em; "
     "padding-right: 0.8em; padding-bottom: 0.6em; border-color: #333333; width: 100%; height: 100%",
     "background-color: #ffffff; margin: 0px; border-width: 1px; border-style: solid; padding: 0; "
     "padding-bottom: 0.6em; border-color: #333333; width: 100%; height: 100%"},
    {"div.title",
     "background-color: #ffffff; color: #888888; margin: 0px; font-size: 91%; padding-left: 0.5em; "
     "padding-right: 0.5em; padding-top: 0.4em; height: 2em; border-width: 1px; border-style: none none dotted none; "
     "border-color: #333333; font-weight: bold",
     "background-color: #aaaaaa; margin: 0px; font-size: 91%; padding: 0.45em; height: 2.1em; color: #ffffff; "
     "font-weight: bold"},
    {"div.desc", "background-color: #ffffff; margin: 0px; padding-top: 0.5em; font-size: 82%; line-height: 1.3em",
     "background-color: #ffffff; margin: 0px; padding-left: 0.8em; padding-right: 0.8em; padding-top: 0.8em; "
     "padding-bottom: 0em; font-size: 82%; line-height: 1.3em"},
    {"div.right",
     "background-color: #ffffff; color: #777777; margin: 0px; padding-top: 0.5em; font-size: 80%; text-align: right",
     "background-color: #ffffff; color: #777777; margin: 0px; padding-top: 0.5em; padding-right: 0.5em; "
     "padding-bottom: 0; padding-left: 0; font-size: 80%; text-align: right"},
    {"img", "border: 0px", ""},
    {"a.anchor_item_title:link", "text-decoration: none; color: #555555; font-weight: bold",
     "text-decoration: none; color: #ffffff; font-weight: bold"},
    {"a.anchor_item_title:visited", "text-decoration: none; color: #bbbbbb; font-weight: bold",
     "text-decoration: none; color: #dddddd; font-weight: bold"},
    {"a.anchor_item_title:active", "text-decoration: none; font-weight: bold", ""},
    {"a.anchor_item_title:hover", "text-decoration: underline; color: #888888; font-weight: bold",
     "text-decoration: underline; color: #ffffff; font-weight: bold"},
    {"a.item_option:link, a.item_option:visited", "text-decoration: none; color: #44429b", ""},
    {"a:link, a:visited", "text-decoration: none; color: #44429b", ""},
    {"a:active", "text-decoration: none", ""},
    {"a:hover", "text-decoration: underline; color: #878fba", ""},
    {"blockquote", "padding: 0px 4px; border-left: 3px solid #cccccc; margin-left: 20px", ""},
    {"hr", "color: #cccccc; height: 1px", ""},
    {"div.anchor_page_control",
     "clear: both; margin: 0px; padding-top: 0px; text-align: left; color: gray; font-size: 80%", ""},
};

}  // namespace

std::string BuiltInPageTemplate() {
  std::string text;
  for (size_t i = 0; i < std::size(kTemplateLines); ++i) {
    if (i > 0) text.append(kLineBreak);
    text.append(kTemplateLines[i]);
  }
  return text;
}

std::string BuiltInStyleCss(BuiltInStyle style) {
  std::string css;
  for (const CssRule& rule : kCssRules) {
    const bool own = style == BuiltInStyle::kClassic && !rule.classic.empty();
    if (!css.empty()) css.append(kLineBreak);
    css.append(rule.selector).append(" { ").append(own ? rule.classic : rule.simple).append(" }");
  }
  return css;
}

}  // namespace present
