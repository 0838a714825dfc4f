// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files of any bytes: every key reads (the default where the text is no value), and a
// value written reads back as written while the other keys keep theirs.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/IniFile.h"

namespace {

struct Key {
  std::string_view section;
  std::string_view name;
};

constexpr std::array<Key, 8> kKeys = {{
    {"Defaults", "FullScreen"},
    {"Defaults", "FontName"},
    {"Defaults", "FontSize"},
    {"Screen", "FontSize"},
    {"Defaults", "BkColor"},
    {"Defaults", "LastPlayer"},
    {"frm_Main", "Left"},
    {"frm_Main", "Width"},
}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pekto;
  static const fuzz::ScratchFile file("Pekto.ini");
  const std::string_view bytes = fuzz::Bytes(data, size);
  static_cast<void>(ParseIniInteger(bytes));
  IniFile ini(file.Write(bytes));
  std::array<std::string, kKeys.size()> before;
  for (size_t i = 0; i < kKeys.size(); ++i) {
    before[i] = ini.ReadString(kKeys[i].section, kKeys[i].name, "?");
    static_cast<void>(ini.ReadInteger(kKeys[i].section, kKeys[i].name, 7));
    static_cast<void>(ini.ReadBool(kKeys[i].section, kKeys[i].name, true));
  }
  const std::string value = "J\xE1t\xE9kos 1";  // Windows-1250
  ini.WriteString("Defaults", "LastPlayer", value);
  if (ini.ReadString("Defaults", "LastPlayer", "?") != value) {
    fuzz::Fail("a value written reads back otherwise");
  }
  for (size_t i = 0; i < kKeys.size(); ++i) {
    if (kKeys[i].name == "LastPlayer") continue;
    if (ini.ReadString(kKeys[i].section, kKeys[i].name, "?") != before[i]) {
      fuzz::Fail("writing one key changed another");
    }
  }
  return 0;
}
