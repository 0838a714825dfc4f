#pragma once
// Conversion between the program's Windows-1250 strings and Qt's QString.

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace pekto {

QString ToQ(std::string_view cp1250);
// Characters outside the code page become '?'.
std::string FromQ(const QString& text);
// One typed character as a Windows-1250 byte; '?' when the code page lacks it.
unsigned char ByteOf(QChar ch);

// Paths: QString and std::filesystem::path hold the real (Unicode) name.
std::filesystem::path ToPath(const QString& text);
QString FromPath(const std::filesystem::path& path);
// Paths kept in Windows-1250 settings values.
std::filesystem::path PathFromCp1250(std::string_view cp1250);
std::string Cp1250FromPath(const std::filesystem::path& path);

}  // namespace pekto
