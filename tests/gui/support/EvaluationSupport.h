// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the tests of an exercise's end (the evaluation and player dialogs, the score
// and player files, the results window it opens), offscreen and on an X server.

#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "results/Ertekel.h"

namespace pekto::test {

// What the evaluation hands to the results window, for as long as the object lives; the real
// window opens as well unless `open` is false.
class ResultsWatch {
 public:
  explicit ResultsWatch(bool open = true);
  ~ResultsWatch();
  ResultsWatch(const ResultsWatch&) = delete;
  ResultsWatch& operator=(const ResultsWatch&) = delete;

  int32_t LastId() const { return ids.empty() ? -2 : ids.back(); }

  std::vector<int32_t> ids;         // the score row to show, in the order of the calls
  std::vector<std::string> titles;  // the lesson of each call

 private:
  ResultsOpener previous_;
};

// The player file's definition section and header, as every player file written starts.
inline const std::string kPlayerHead =
    "\"@@FILE VERSION@@\",\"251\"\r\n"
    "\"@@TABLEDEF START@@\"\r\n"
    "\"jatekos=String,50,\"\"jatekos\"\",\"\"\"\",50,Data,\"\"\"\"\"\r\n"
    "\"@@INDEXDEF START@@\"\r\n\"@@INDEXDEF END@@\"\r\n\"@@TABLEDEF END@@\"\r\n"
    "\"jatekos\",\r\n";
// The player file with `names` (Windows-1250) in this order.
std::string PlayerList(std::initializer_list<std::string_view> names);
// The score file's definition section and header, as every score file written starts.
std::string ScoreHead();

// Fills the name box of the player dialog with `name` and presses OK; any other dialog is
// rejected with a warning, as the test's order of dialogs is wrong then.
DialogAnswers::Reply EnterName(const QString& name);

// What the player dialog offers when it opens.
struct Offered {
  QStringList names;
  QString text;
};
// Notes what the player dialog offers, then goes on with `then`.
DialogAnswers::Reply ReadPlayers(Offered& offered, const DialogAnswers::Reply& then);

}  // namespace pekto::test
