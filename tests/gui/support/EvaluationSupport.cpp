// SPDX-License-Identifier: GPL-3.0-or-later
#include "EvaluationSupport.h"

#include <QComboBox>
#include <QPushButton>

#include "results/Top10.h"

namespace pekto::test {

ResultsWatch::ResultsWatch(bool open)
    : previous_(
          SetResultsOpener([this, open](const std::string& title, int32_t id, QWidget* owner) {
            titles.push_back(title);
            ids.push_back(id);
            if (open) ShowResults(title, id, owner);
          })) {}

ResultsWatch::~ResultsWatch() {
  SetResultsOpener(std::move(previous_));
}

std::string PlayerList(std::initializer_list<std::string_view> names) {
  std::string text = kPlayerHead;
  for (const std::string_view name : names) text += "\"" + std::string(name) + "\",\r\n";
  return text;
}

std::string ScoreHead() {
  const std::string example = Golden("score_example.csv");
  return example.substr(0, example.find("\"1\",\"Alapsor\""));
}

DialogAnswers::Reply EnterName(const QString& name) {
  return [name](QDialog& dialog) {
    auto* box = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    if (box == nullptr) {
      qWarning("expected the player dialog, got %s", qPrintable(dialog.objectName()));
      dialog.reject();
      return;
    }
    box->setEditText(name);
    dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
  };
}

DialogAnswers::Reply ReadPlayers(Offered& offered, const DialogAnswers::Reply& then) {
  return [&offered, then](QDialog& dialog) {
    const auto* box = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    offered.names.clear();
    for (int i = 0; i < box->count(); ++i) offered.names << box->itemText(i);
    offered.text = box->currentText();
    then(dialog);
  };
}

}  // namespace pekto::test
