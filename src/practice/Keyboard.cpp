// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/Keyboard.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace pekto {
namespace {

constexpr std::array<std::string_view, kFingerCount> kFingerCodes = {"L5", "L4", "L3", "L2", "T",
                                                                     "R2", "R3", "R4", "R5"};
constexpr std::array<std::string_view, kFingerCount> kFingerNames = {
    "bal kisujj",     "bal gyűrűsujj",    "bal középső ujj", "bal mutatóujj", "hüvelykujjak",
    "jobb mutatóujj", "jobb középső ujj", "jobb gyűrűsujj",  "jobb kisujj"};

// The blank-separated tokens of a line; `rest` gets what follows the first `count` of them.
std::vector<std::string_view> Tokens(std::string_view line, size_t count, std::string_view& rest) {
  std::vector<std::string_view> tokens;
  size_t pos = 0;
  while (tokens.size() < count) {
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string_view::npos) break;
    const size_t end = std::min(line.find_first_of(" \t", pos), line.size());
    tokens.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  rest = pos < line.size() ? line.substr(pos) : std::string_view{};
  const size_t first = rest.find_first_not_of(" \t");
  rest = first == std::string_view::npos ? std::string_view{} : rest.substr(first);
  return tokens;
}

double Number(std::string_view token) {
  double value = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (ec != std::errc{} || end != token.data() + token.size() || value < 0) {
    throw Error("nem szám: " + std::string(token));
  }
  return value;
}

Finger FingerOf(std::string_view token) {
  for (size_t i = 0; i < kFingerCodes.size(); ++i) {
    if (kFingerCodes[i] == token) return static_cast<Finger>(i);
  }
  throw Error("ismeretlen ujj: " + std::string(token));
}

// One character token: the character itself (UTF-8), "space", "dead:C" or "--".
std::optional<KeySymbol> Symbol(std::string_view token) {
  if (token == "--") return std::nullopt;
  if (token == "space") return KeySymbol{' ', false};
  KeySymbol symbol;
  if (token.starts_with("dead:")) {
    symbol.dead = true;
    token.remove_prefix(5);
  }
  const std::string bytes = cp1250::FromUtf8(token, '\0');
  if (bytes.size() != 1 || bytes[0] == '\0') {
    throw Error("nem egy karakter: " + std::string(token));
  }
  symbol.ch = static_cast<unsigned char>(bytes[0]);
  return symbol;
}

// The accented letters of the code page as "letter, accent mark, base letter" (UTF-8), the mark as
// the dead keys of the keyboard file show it.
constexpr std::string_view kAccentedLetters =
    "ŠˇS Ś´S ŤˇT ŽˇZ Ź´Z šˇs ś´s ťˇt žˇz ź´z Ą˛A Ş¸S Ż˙Z ą˛a ş¸s ĽˇL ľˇl ż˙z Ŕ´R Á´A Â^A Ă˘A "
    "Ä¨A Ĺ´L Ć´C Ç¸C ČˇC É´E Ę˛E Ë¨E ĚˇE Í´I Î^I ĎˇD Ń´N ŇˇN Ó´O Ô^O Ő˝O Ö¨O ŘˇR Ů°U Ú´U Ű˝U "
    "Ü¨U Ý´Y Ţ¸T ŕ´r á´a â^a ă˘a ä¨a ĺ´l ć´c ç¸c čˇc é´e ę˛e ë¨e ěˇe í´i î^i ďˇd ń´n ňˇn ó´o "
    "ô^o ő˝o ö¨o řˇr ů°u ú´u ű˝u ü¨u ý´y ţ¸t";

// Per Windows-1250 byte: its accent mark and base letter, or zeros.
struct Accent {
  unsigned char mark = 0;
  unsigned char base = 0;
};
const std::array<Accent, 256>& Accents() {
  static const std::array<Accent, 256> table = [] {
    std::array<Accent, 256> accents{};
    const std::string bytes = cp1250::FromUtf8(kAccentedLetters, '\0');
    for (size_t i = 0; i + 2 < bytes.size(); i += 4) {
      accents[static_cast<unsigned char>(bytes[i])] = {static_cast<unsigned char>(bytes[i + 1]),
                                                       static_cast<unsigned char>(bytes[i + 2])};
    }
    return accents;
  }();
  return table;
}

KeyStroke Stroke(const std::vector<KeyCap>& keys, uint32_t keyPlusOne, uint8_t level) {
  return KeyStroke{&keys[keyPlusOne - 1U], level == 1, level == 2};
}

KeyCap ParseKey(std::string_view line) {
  std::string_view rest;
  const std::vector<std::string_view> t = Tokens(line, 7, rest);
  if (t.size() < 7) throw Error("kevés adat a sorban");
  KeyCap key;
  key.row = static_cast<int>(Number(t[0]));
  key.x = Number(t[1]);
  key.width = Number(t[2]);
  key.finger = FingerOf(t[3]);
  key.base = Symbol(t[4]);
  key.shift = Symbol(t[5]);
  key.altGr = Symbol(t[6]);
  key.label = std::string(rest);
  if (key.width <= 0) throw Error("a szélesség nem lehet 0");
  return key;
}

}  // namespace

std::string_view FingerName(Finger finger) {
  return kFingerNames.at(static_cast<size_t>(finger));
}

Keyboard Keyboard::Parse(std::string_view text) {
  std::vector<KeyCap> keys;
  size_t lineNumber = 0;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with('#')) {
      continue;
    }
    try {
      keys.push_back(ParseKey(line));
    } catch (const Error& e) {
      throw DamagedFileError(std::to_string(lineNumber) + ". sor: " + e.what());
    }
  }
  if (keys.empty()) throw DamagedFileError("egy billentyű sincs benne");
  return Keyboard(std::move(keys));
}

Keyboard Keyboard::Load(const std::filesystem::path& file) {
  const std::string text = ReadWholeFile(file, 1024 * 1024);
  try {
    return Parse(text);
  } catch (const DamagedFileError& e) {
    throw DamagedFileError("A(z) \"" + PathText(file) + "\" hibás: " + e.what());
  }
}

void Keyboard::Index() {
  keyOf_.fill(0);
  levelOf_.fill(0);
  deadKeyOf_.fill(0);
  deadLevelOf_.fill(0);
  for (uint8_t level = 0; level < 3; ++level) {
    for (size_t i = 0; i < keys_.size(); ++i) {
      const KeyCap& key = keys_[i];
      const std::optional<KeySymbol>& symbol =
          level == 0 ? key.base : (level == 1 ? key.shift : key.altGr);
      if (!symbol) continue;
      auto& keyOf = symbol->dead ? deadKeyOf_ : keyOf_;
      if (keyOf[symbol->ch] != 0) continue;
      keyOf[symbol->ch] = static_cast<uint32_t>(i + 1);
      (symbol->dead ? deadLevelOf_ : levelOf_)[symbol->ch] = level;
    }
  }
}

std::optional<KeyStroke> Keyboard::Find(unsigned char ch) const {
  if (keyOf_[ch] == 0) return std::nullopt;
  return Stroke(keys_, keyOf_[ch], levelOf_[ch]);
}

std::optional<DeadKeyStroke> Keyboard::FindDead(unsigned char ch) const {
  const Accent accent = Accents()[ch];
  if (accent.mark == 0 || deadKeyOf_[accent.mark] == 0 || keyOf_[accent.base] == 0) {
    return std::nullopt;
  }
  return DeadKeyStroke{Stroke(keys_, deadKeyOf_[accent.mark], deadLevelOf_[accent.mark]),
                       Stroke(keys_, keyOf_[accent.base], levelOf_[accent.base])};
}

namespace {

// The first key named `label` (a key of two rows gives its first line), on the left hand's side
// or the right's when `left` is set; nothing when the layout has none.
std::optional<size_t> NamedKey(const Keyboard& board, std::string_view label,
                               std::optional<bool> left = std::nullopt) {
  const std::vector<KeyCap>& keys = board.Keys();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].label != label) continue;
    if (!left || (keys[i].finger < Finger::Thumbs) == *left) return i;
  }
  return std::nullopt;
}

// The key of a stroke, then its modifier: the Shift of the other hand, or AltGr.
void AddStroke(const Keyboard& board, const KeyStroke& stroke, std::vector<size_t>& lit) {
  lit.push_back(board.IndexOf(*stroke.key));
  std::optional<size_t> modifier;
  if (stroke.shift) {
    modifier = NamedKey(board, "Shift", stroke.key->finger > Finger::Thumbs);
  } else if (stroke.altGr) {
    modifier = NamedKey(board, "Alt Gr");
  }
  if (modifier) lit.push_back(*modifier);
}

}  // namespace

std::vector<size_t> KeysToLight(const Keyboard& board, unsigned char ch) {
  std::vector<size_t> lit;
  if (ch == '\r') {
    if (const auto enter = NamedKey(board, "Enter")) lit.push_back(*enter);
  } else if (const auto stroke = board.Find(ch)) {
    AddStroke(board, *stroke, lit);
  } else if (const auto dead = board.FindDead(ch)) {
    AddStroke(board, dead->base, lit);
    AddStroke(board, dead->dead, lit);
  }
  return lit;
}

std::filesystem::path KeyboardFile(const std::filesystem::path& bundleDir) {
  return bundleDir / "keyboard" / "hu-102.txt";
}

}  // namespace pekto
