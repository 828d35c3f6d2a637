// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "store/TSiteList.h"

// The fields of a channel record besides its header and caption: which key of plover.dat
// and which element of the older XML data file fill which member of the channel. The
// data-file writer, its parser and the conversion of the older file all walk this one
// table, so that none of them can miss a field the others know.
namespace store::datafile {

// The member a field fills, by the form its value takes in the files.
struct TextMember {
  std::string TSiteList::*member;
};
struct DayMember {  // a date-time as a day number
  double TSiteList::*member;
};
template <typename T>
struct NumberMember {
  T TSiteList::*member;
};
// The recovery number is written as an unsigned 32-bit number, though the channel keeps
// it in a signed field of the same width.
struct Unsigned32Member {
  int32_t TSiteList::*member;
};

using ChannelMember = std::variant<TextMember, DayMember, NumberMember<uint8_t>, NumberMember<uint16_t>,
                                   NumberMember<int32_t>, Unsigned32Member>;

struct ChannelField {
  std::string_view key;            // in plover.dat, lower case
  std::string_view legacyElement;  // in the older XML file, lower case; empty: it had none
  ChannelMember member;
};

// In the order the writer puts them.
inline constexpr std::array kChannelFields = {
    ChannelField{"server", "serverdate", TextMember{&TSiteList::server}},
    ChannelField{"client", "clientdate", DayMember{&TSiteList::client}},
    ChannelField{"authorize", "authorization", TextMember{&TSiteList::authorize}},
    ChannelField{"authsite", "", TextMember{&TSiteList::authsite}},
    ChannelField{"refresh", "refreshtime", NumberMember<int32_t>{&TSiteList::refresh}},
    ChannelField{"noread", "noread", NumberMember<uint8_t>{&TSiteList::noread}},
    ChannelField{"datecomp", "datecomp", NumberMember<uint8_t>{&TSiteList::datecomp}},
    ChannelField{"gonecount", "gonecount", NumberMember<uint8_t>{&TSiteList::gonecount}},
    ChannelField{"gonedate", "gonedate", DayMember{&TSiteList::gonedate}},
    ChannelField{"itemmax", "itemmax", NumberMember<uint16_t>{&TSiteList::itemmax}},
    ChannelField{"datemax", "datemax", NumberMember<uint16_t>{&TSiteList::datemax}},
    ChannelField{"keyword", "keyword", TextMember{&TSiteList::keyword}},
    ChannelField{"htmlrss", "", NumberMember<uint8_t>{&TSiteList::htmlrss}},
    ChannelField{"regexpr", "", TextMember{&TSiteList::regexpr}},
    ChannelField{"encflag", "enclosureflag", NumberMember<uint8_t>{&TSiteList::encflag}},
    ChannelField{"entojp", "entojp", NumberMember<uint8_t>{&TSiteList::entojp}},
    ChannelField{"linkop", "linkopen", NumberMember<uint8_t>{&TSiteList::linkop}},
    ChannelField{"clone", "", TextMember{&TSiteList::clone}},
    ChannelField{"recovery", "", Unsigned32Member{&TSiteList::recovery}},
};

// One lambda per form of value, for a std::visit over a field's member.
template <typename... Forms>
struct Overloaded : Forms... {
  using Forms::operator()...;
};
// Spelled out for compilers that do not deduce an aggregate's arguments by themselves.
template <typename... Forms>
Overloaded(Forms...) -> Overloaded<Forms...>;

// The field of a lower-cased key, or nullptr.
const ChannelField* ChannelFieldOfKey(std::string_view key);
// The field of a lower-cased element name of the older file, or nullptr.
const ChannelField* ChannelFieldOfElement(std::string_view element);

// Moves every field of the table from one channel to the other; `from` keeps values
// that are only good for being assigned or cleared.
void MoveChannelFields(TSiteList& from, TSiteList& to);

// Puts every field of the table back to its initial value.
void ClearChannelFields(TSiteList& channel);

}  // namespace store::datafile
