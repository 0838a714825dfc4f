// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's error type: every failure that a command reports to the user is one of these.
// The text is UTF-8; contents of lessons and tables (Windows-1250) are converted before they
// become part of a message.

#include <stdexcept>
#include <string>

namespace pekto {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A file that was read whole but does not hold what it should: its content is at fault, not
// the disk or the permissions.
class DamagedFileError : public Error {
 public:
  using Error::Error;
};

}  // namespace pekto
