// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>
#include <optional>

namespace pekto {
namespace {

struct SystemColor {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// The Windows system colour indexes and the palette colours that play their part.
std::optional<SystemColor> PaletteRoleOf(uint32_t index) {
  using P = QPalette;
  static const std::array<SystemColor, 31> kRoles = {{
      {P::Active, P::Button},           // 0 scroll bar
      {P::Active, P::Window},           // 1 desktop
      {P::Active, P::Highlight},        // 2 active caption
      {P::Inactive, P::Window},         // 3 inactive caption
      {P::Active, P::Window},           // 4 menu
      {P::Active, P::Base},             // 5 window
      {P::Active, P::Shadow},           // 6 window frame
      {P::Active, P::WindowText},       // 7 menu text
      {P::Active, P::Text},             // 8 window text
      {P::Active, P::HighlightedText},  // 9 caption text
      {P::Active, P::Window},           // 10 active border
      {P::Active, P::Window},           // 11 inactive border
      {P::Active, P::Dark},             // 12 application workspace
      {P::Active, P::Highlight},        // 13 highlight
      {P::Active, P::HighlightedText},  // 14 highlighted text
      {P::Active, P::Button},           // 15 button face
      {P::Active, P::Dark},             // 16 button shadow
      {P::Disabled, P::Text},           // 17 grey text
      {P::Active, P::ButtonText},       // 18 button text
      {P::Inactive, P::WindowText},     // 19 inactive caption text
      {P::Active, P::Light},            // 20 button highlight
      {P::Active, P::Shadow},           // 21 3-D dark shadow
      {P::Active, P::Midlight},         // 22 3-D light
      {P::Active, P::ToolTipText},      // 23 info text
      {P::Active, P::ToolTipBase},      // 24 info background
      {P::Active, P::Button},           // 25 (unused)
      {P::Active, P::Link},             // 26 hot light
      {P::Active, P::Highlight},        // 27 gradient active caption
      {P::Inactive, P::Highlight},      // 28 gradient inactive caption
      {P::Active, P::Highlight},        // 29 menu highlight
      {P::Active, P::Window},           // 30 menu bar
  }};
  if (index >= kRoles.size()) return std::nullopt;
  return kRoles[index];
}

}  // namespace

QColor ColorFromValue(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  if (value < 0) {
    const auto role = PaletteRoleOf(bits & 0xFFFFFFu);
    if (!role) return QColor(Qt::black);
    return QGuiApplication::palette().color(role->group, role->role);
  }
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

int32_t ValueFromColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<int32_t>(static_cast<uint32_t>(rgb.red()) |
                              (static_cast<uint32_t>(rgb.green()) << 8) |
                              (static_cast<uint32_t>(rgb.blue()) << 16));
}

int32_t ValueFromColor(const QColor& color, std::initializer_list<int32_t> known) {
  for (const int32_t value : known) {
    if (ColorFromValue(value).rgb() == color.rgb()) return value;
  }
  return ValueFromColor(color);
}

}  // namespace pekto
