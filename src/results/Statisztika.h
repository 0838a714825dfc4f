// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The statistics window "Statisztika": for a player and a period, the keyboard coloured by each
// key's error rate, the ten worst keys with what was typed in their place, the error rate per
// finger, and a chart of keys per minute and correct percentage per practice day. It reads
// Score.csv and Keys.csv and writes nothing; the key table, which grows large, is read once in
// the background for every player and period.

#include <QDialog>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Form.h"
#include "practice/LessonFile.h"
#include "results/CsvValue.h"
#include "results/KeyLoad.h"
#include "results/KeyTable.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace pekto {

class CsvTable;
class KeyboardView;
class ProgressChart;

// The weak-key drill the learner asked for, and the player (Windows-1250) it was made for.
struct DrillChoice {
  Lesson lesson;
  std::string player;
};

// Opens the statistics window modally on `player` (Windows-1250; the first one listed when
// empty or unknown), over the tables of the data folder and the keyboard of the bundle folder.
// Returns the weak-key drill when the learner asked for one (the window closes then); saving and
// starting it is the caller's. Throws pekto::Error before the window shows when Score.csv or the
// keyboard file cannot be read.
std::optional<DrillChoice> ShowStatistics(const std::string& player, QWidget* owner);

// The statistics window as a command: when the learner asks for the drill, it is saved in the
// lesson folder as the chosen player's drill lesson of the day and its file returned. Errors are
// reported and give nothing.
std::optional<std::filesystem::path> ShowStatisticsAndSaveDrill(const std::string& player,
                                                                QWidget* owner);
// The weak-key drill of `player` from the whole key table, without the window: saved as the
// player's drill lesson of the day and its file returned. Too few judgements, or errors, are
// reported to the learner and give nothing.
std::optional<std::filesystem::path> SaveWeakKeyDrill(const std::string& player, QWidget* owner);

// A drill lesson chosen in a window the main window opened (the results window), for the main
// window to start once that window has closed; taken once.
void OfferDrill(std::filesystem::path lesson);
std::optional<std::filesystem::path> TakeOfferedDrill();

// The periods of the period drop-down: "Összes", "Utolsó 30 nap", "Utolsó 7 nap".
inline constexpr size_t kPeriodCount = 3;

class Tfrm_Statisztika : public FormDialog {
  Q_OBJECT

 public:
  // Reads Score.csv of `dataDir` and the keyboard of `bundleDir` (throws pekto::Error when they
  // cannot be read) and starts reading Keys.csv in the background. `today` ends the periods.
  Tfrm_Statisztika(std::filesystem::path dataDir, std::filesystem::path bundleDir,
                   const std::string& player, Date today, QWidget* owner);
  ~Tfrm_Statisztika() override;

  // The drill the learner asked for ("Gyenge billentyűk gyakorlása"); nothing before.
  const std::optional<Lesson>& ChosenDrill() const { return drill_; }
  // The player shown (Windows-1250), whose drill that is.
  std::string ChosenPlayer() const;

 signals:
  // The key table has been read and the keys of the chosen player and period are shown (or
  // the message why the table could not be read).
  void KeyTalliesShown();
  // The learner asked for the drill (ChosenDrill); the window closes after this.
  void DrillChosen();

 private:
  void CreateWidgets();
  QWidget* CreateChoiceBar();
  QWidget* CreateKeyPanel();
  QWidget* CreateSidePanel();
  QWidget* CreateButtonBar();
  void FillPlayers(const std::string& player);
  void StartKeyLoad();
  void KeysArrived(const std::shared_ptr<const KeyTalliesRead>& load);

  void ShowSelection();
  void ShowKeys();
  void ShowWorstKeys(const std::vector<KeyTally>& tallies);
  void ShowFingers(const std::vector<KeyTally>& tallies);
  const std::vector<KeyTally>* ShownTallies() const;
  void DrillClicked();

  std::filesystem::path dataDir_;
  std::filesystem::path bundleDir_;
  std::array<std::optional<Date>, kPeriodCount> periodStarts_;
  std::unique_ptr<CsvTable> scores_;
  std::shared_ptr<const KeyTalliesRead> keys_;  // null while Keys.csv is being read
  std::optional<Lesson> drill_;

  QComboBox* ComboJatekos = nullptr;
  QComboBox* ComboIdoszak = nullptr;
  KeyboardView* Billentyuzet = nullptr;
  QLabel* LabelGyenge = nullptr;  // the ten worst keys
  std::array<QLabel*, kFingerCount> fingerRates_{};
  ProgressChart* Grafikon = nullptr;
  QPushButton* ButtonGyakorlo = nullptr;
  QPushButton* ButtonBezar = nullptr;
};

}  // namespace pekto
