// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The evaluation after an exercise: the result, the player's name, the new score row and the
// results window.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Form.h"
#include "practice/KeyStats.h"
#include "results/KeyTable.h"
#include "results/ScoreRecording.h"

class QLabel;
class QPushButton;

namespace pekto {

// Shows the result of an exercise (Windows-1250 title), with the verdict on the goal of
// `lesson` (its file) when it has one, asks for the player, records the score and, after it, the
// exercise's key rows (`keys`), and opens the results window; returns when all of them have
// closed.
void ShowEvaluation(const std::string& title, int32_t total, int32_t correct, int32_t wrong,
                    int32_t seconds, QWidget* owner, const std::vector<KeyTally>& keys = {},
                    const std::filesystem::path& lesson = {});

// What ShowEvaluation opens last: ShowResults unless something else is put in its place (tests
// watch the lesson and the id the results window is given). Returns the one it replaces.
using ResultsOpener =
    std::function<void(const std::string& title, int32_t highlightId, QWidget* owner)>;
ResultsOpener SetResultsOpener(ResultsOpener opener);

// Adds the score row to `scoreFile` while holding the file's lock, so that programs finishing
// at the same moment each add their row; returns the row's id. A damaged file is set aside as
// RecordScore does. Throws pekto::Error.
int32_t RecordScoreLocked(const std::filesystem::path& scoreFile, const ScoreEntry& entry,
                          SetAside* setAside = nullptr);

// Adds the key rows to `keysFile` while holding the file's lock; nothing is done for no rows.
// Returns the message (UTF-8, naming the file) when they could not be written, the lock included:
// nothing is thrown.
std::optional<std::string> RecordKeysLocked(const std::filesystem::path& keysFile,
                                            const KeyRowOwner& owner,
                                            const std::vector<KeyTally>& keys);

// The evaluation dialog "Értékelés": the counters of the exercise, its time and percentage,
// below them its speed in keys per minute and, for a lesson with a goal, the verdict.
class Tfrm_Ertekel : public FormDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Ertekel(QWidget* owner);

  void Fill(const std::string& title, int32_t total, int32_t correct, int32_t wrong,
            int32_t percent, int32_t seconds);
  // The line below the speed lines: the verdict on the lesson's goal, or why there is none.
  void ShowGoal(const QString& text, bool met);

 private:
  void FormShow() override;
  void FitGoal();

  std::vector<QLabel*> captions_;  // sized to their text, as the font changes
  QLabel* StaticText1 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label13 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label14 = nullptr;
  QPushButton* Button1 = nullptr;
  QLabel* LLeutesPerc = nullptr;
  QLabel* LHelyesPerc = nullptr;
  QLabel* LCel = nullptr;
};

}  // namespace pekto
