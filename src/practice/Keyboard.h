// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keyboard's geometry and layout, read from a data file (assets/keyboard/hu-102.txt, whose
// header describes the format): every key with its place, the finger that strikes it and the
// characters it types alone, with Shift and with AltGr. Characters are Windows-1250 bytes, as the
// exercise judges them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pekto {

// The fingers in order from the left little finger to the right one; the thumbs are one.
enum class Finger {
  LeftLittle,
  LeftRing,
  LeftMiddle,
  LeftIndex,
  Thumbs,
  RightIndex,
  RightMiddle,
  RightRing,
  RightLittle
};
inline constexpr size_t kFingerCount = 9;

// "bal kisujj", "hüvelykujjak", ...: UTF-8.
std::string_view FingerName(Finger finger);

// What a key types on one level.
struct KeySymbol {
  unsigned char ch = 0;  // Windows-1250
  bool dead = false;     // a dead key: ch is only its mark
};

struct KeyCap {
  int row = 0;       // 0 the digit row ... 4 the space-bar row
  double x = 0;      // left edge in key units
  double width = 1;  // in key units
  Finger finger = Finger::Thumbs;
  std::optional<KeySymbol> base, shift, altGr;
  std::string label;  // the name of a key without a character ("Tab"), UTF-8
};

// How a character is typed: its key and the modifier it needs.
struct KeyStroke {
  const KeyCap* key = nullptr;
  bool shift = false;
  bool altGr = false;
};

// How a letter no key types alone is typed: its accent's dead key, then its base letter.
struct DeadKeyStroke {
  KeyStroke dead;
  KeyStroke base;
};

class Keyboard {
 public:
  // The keys of a data file's text (UTF-8). Throws pekto::DamagedFileError naming the line when
  // a line is not in the format.
  static Keyboard Parse(std::string_view text);
  // The data file; the message of an error names the file.
  static Keyboard Load(const std::filesystem::path& file);

  // In file order: row by row from the left. A key of two rows (Enter) is there once per row.
  const std::vector<KeyCap>& Keys() const { return keys_; }

  // The key that types `ch` with the fewest modifiers (alone before Shift before AltGr), the
  // first in the file among equals; nothing for a character no key types (dead keys type
  // nothing).
  std::optional<KeyStroke> Find(unsigned char ch) const;
  // For an accented letter that Find does not give (ř, ô, ů): the dead key of its accent and the
  // key of its base letter; nothing when the layout has no dead key for that accent.
  std::optional<DeadKeyStroke> FindDead(unsigned char ch) const;

  // The index of `key` in Keys().
  size_t IndexOf(const KeyCap& key) const { return static_cast<size_t>(&key - keys_.data()); }

 private:
  explicit Keyboard(std::vector<KeyCap> keys) : keys_(std::move(keys)) { Index(); }
  void Index();

  std::vector<KeyCap> keys_;
  // For every byte: the index into keys_ + 1 (0 for none) and the level (0 alone, 1 Shift,
  // 2 AltGr).
  std::array<uint32_t, 256> keyOf_{};
  std::array<uint8_t, 256> levelOf_{};
  // The same for the dead keys, by the byte of their mark.
  std::array<uint32_t, 256> deadKeyOf_{};
  std::array<uint8_t, 256> deadLevelOf_{};
};

// The keys an on-screen keyboard lights for the next character, as indices into Keys(): the key
// that types it first, then the Shift of the other hand or AltGr that it needs. A letter typed
// with a dead key lights its base letter's key (and Shift) and the dead key with its modifier;
// a line break ('\r') lights Enter. Empty for a character no key types.
std::vector<size_t> KeysToLight(const Keyboard& board, unsigned char ch);

// The keyboard file among the files that come with the program (BundleDir in platform/Startup.h).
std::filesystem::path KeyboardFile(const std::filesystem::path& bundleDir);

}  // namespace pekto
