// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Seged.h"

#include <algorithm>
#include <cstdint>

namespace pekto {
namespace {

// Clamps one axis: `start` and `size` against the far edge `limit`.
void ClampAxis(int32_t& start, int32_t& size, int32_t limit) {
  if (start > limit) start = 0;
  if (static_cast<int64_t>(start) + size > limit) {
    if (size < limit) {
      start = limit - size;
    } else {
      start = 0;
      size = limit;
    }
  }
}

// Moves a frame that starts before `low` onto it, shortening it when it then ends past `high`.
void PullInAxis(int32_t& start, int32_t& size, int32_t low, int32_t high) {
  if (start >= low) return;
  start = low;
  if (static_cast<int64_t>(start) + size > high) size = high - start;
}

int32_t Saturated(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

void LoadFormPos(const IniFile& ini, std::string_view section, int32_t& left, int32_t& top) {
  left = ini.ReadInteger(section, "Left", kDefaultFormLeft);
  top = ini.ReadInteger(section, "Top", kDefaultFormTop);
}

FormBounds LoadFormBounds(const IniFile& ini, std::string_view section, int32_t width,
                          int32_t height, const WorkRect& workArea) {
  FormBounds bounds;
  bounds.Left = ini.ReadInteger(section, "Left", kDefaultFormLeft);
  bounds.Top = ini.ReadInteger(section, "Top", kDefaultFormTop);
  bounds.Width = ini.ReadInteger(section, "Width", width);
  bounds.Height = ini.ReadInteger(section, "Height", height);
  return ClampToWorkArea(bounds, workArea);
}

FormBounds ClampToWorkArea(FormBounds bounds, const WorkRect& workArea) {
  // The four rules in their order: Left, Top, then the right edge, then the bottom edge; the
  // first two do not depend on the size, so each axis can be taken whole.
  ClampAxis(bounds.Left, bounds.Width, workArea.Right);
  ClampAxis(bounds.Top, bounds.Height, workArea.Bottom);
  return bounds;
}

FormBounds FitToWorkArea(const FormBounds& bounds, const FrameMargins& frame,
                         const WorkRect& workArea) {
  const int64_t extraWidth = static_cast<int64_t>(frame.Left) + frame.Right;
  const int64_t extraHeight = static_cast<int64_t>(frame.Top) + frame.Bottom;
  FormBounds outer{bounds.Left, bounds.Top, Saturated(bounds.Width + extraWidth),
                   Saturated(bounds.Height + extraHeight)};
  outer = ClampToWorkArea(outer, workArea);
  PullInAxis(outer.Left, outer.Width, workArea.Left, workArea.Right);
  PullInAxis(outer.Top, outer.Height, workArea.Top, workArea.Bottom);
  return FormBounds{outer.Left, outer.Top,
                    Saturated(std::max<int64_t>(outer.Width - extraWidth, 1)),
                    Saturated(std::max<int64_t>(outer.Height - extraHeight, 1))};
}

void SaveFormPos(IniFile& ini, std::string_view section, int32_t left, int32_t top) {
  ini.WriteInteger(section, "Left", left);
  ini.WriteInteger(section, "Top", top);
}

void SaveFormBounds(IniFile& ini, std::string_view section, const FormBounds& bounds) {
  ini.WriteInteger(section, "Left", bounds.Left);
  ini.WriteInteger(section, "Top", bounds.Top);
  ini.WriteInteger(section, "Width", bounds.Width);
  ini.WriteInteger(section, "Height", bounds.Height);
}

}  // namespace pekto
