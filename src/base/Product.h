// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The product's name, version and the maker's addresses, shown in the about box, on the
// certificate and used by the help menu's mail and web commands.

#include <string_view>

namespace pekto {

inline constexpr std::string_view kProductName = "Pekto";
inline constexpr std::string_view kProductVersion = "2.2.0.67";
// The reserved example domain stands in until the product has a domain of its own.
inline constexpr std::string_view kMakerWebAddress = "https://www.example.org/pekto";
inline constexpr std::string_view kMakerMailAddress = "pekto@example.org";

}  // namespace pekto
