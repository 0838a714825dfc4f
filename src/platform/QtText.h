// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Conversion between the program's Windows-1250 strings and Qt's QString.

#include <QString>
#include <Qt>
#include <filesystem>
#include <string>
#include <string_view>

namespace pekto {

QString ToQ(std::string_view cp1250);
// Appends the Windows-1250 text to `out`.
void AppendToQ(QString& out, std::string_view cp1250);
// Characters outside the code page become '?'.
std::string FromQ(const QString& text);
// One typed character as a Windows-1250 byte; '?' when the code page lacks it.
unsigned char ByteOf(QChar ch);
// Text that is to be stored as Windows-1250: `text` without the characters the code page
// lacks, which are appended to `refused` (a character of two UTF-16 units as a whole), so that
// nothing is stored as '?' behind the user's back.
QString KeepCp1250(const QString& text, QString& refused);
// Every character a Windows-1250 text can show: the code page's characters but its controls.
const QString& Cp1250Characters();

// The characters a key press types, as Windows-1250 bytes, derived from the key and its
// modifiers the way a Windows keyboard delivers characters to a program rather than from the
// text the platform attaches (X11 gives Delete the text DEL and Ctrl+digit the digit):
// Ctrl+letter gives the letter's control character, Ctrl+Backspace 127, Ctrl+Return 10;
// Delete, Alt and Ctrl combinations that make no character, and keys without text give
// nothing. AltGr characters come through as the characters they make.
std::string TypedCharacters(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// Paths: QString and std::filesystem::path hold the real (Unicode) name.
// A name whose bytes are no UTF-8 is shown as ReadableText shows it; such a QString does not
// lead back to the file, so code that opens files keeps the path itself.
std::filesystem::path ToPath(const QString& text);
QString FromPath(const std::filesystem::path& path);
// Text that should be UTF-8 but may carry bytes that are not (a file name as the folder holds
// it, a message naming such a file) in a form the user can read: every well-formed UTF-8
// sequence as it is, every other byte as Windows-1250, the code page of names made on Hungarian
// Windows machines.
QString ReadableText(std::string_view bytes);
// Paths kept in Windows-1250 settings values.
std::filesystem::path PathFromCp1250(std::string_view cp1250);
std::string Cp1250FromPath(const std::filesystem::path& path);

}  // namespace pekto
