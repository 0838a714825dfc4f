// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keys.csv read in the background for a window: the key table grows large, and the window shows
// what it has from Score.csv meanwhile.

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "results/KeyTable.h"

class QObject;

namespace pekto {

// What the background reading brings: every player's tallies, or why the file could not be read.
struct KeyTalliesRead {
  PlayerKeyTallies tallies;
  QString error;
};

// Reads every player's tallies of `periods` (ReadPlayerKeyTallies) from `keysFile` on the global
// thread pool, which the application waits for when it ends. `done` runs on the main thread
// with the result, through the application's event queue, unless `receiver` is gone by then.
void ReadKeyTalliesInBackground(
    std::filesystem::path keysFile, std::vector<std::optional<Date>> periods, QObject* receiver,
    std::function<void(const std::shared_ptr<const KeyTalliesRead>&)> done);

}  // namespace pekto
