// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/KeyLoad.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <exception>
#include <utility>

namespace pekto {

void ReadKeyTalliesInBackground(
    std::filesystem::path keysFile, std::vector<std::optional<Date>> periods, QObject* receiver,
    std::function<void(const std::shared_ptr<const KeyTalliesRead>&)> done) {
  const QPointer<QObject> target(receiver);
  QThreadPool::globalInstance()->start(
      [file = std::move(keysFile), periods = std::move(periods), target, done = std::move(done)] {
        auto load = std::make_shared<KeyTalliesRead>();
        try {
          load->tallies = ReadPlayerKeyTallies(file, periods);
        } catch (const std::exception& e) {
          load->error = QString::fromUtf8(e.what());
        }
        // A closed window is seen to be gone in the main thread, where it was closed.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [target, done, load = std::shared_ptr<const KeyTalliesRead>(std::move(load))] {
              if (target) done(load);
            },
            Qt::QueuedConnection);
      });
}

}  // namespace pekto
