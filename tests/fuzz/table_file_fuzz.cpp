// SPDX-License-Identifier: GPL-3.0-or-later
// Table files of any bytes, read as Score.csv is read: loading either fills the table or fails
// with pekto::Error; a loaded table can be walked, sorted, written and read back with as many
// rows and fields.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "platform/Error.h"
#include "results/CsvTable.h"

namespace {

void Walk(const pekto::CsvTable& table) {
  for (size_t row = 0; row < table.VisibleRowCount(); ++row) {
    for (size_t field = 0; field < table.Fields().size(); ++field) {
      static_cast<void>(table.ValueAt(row, field));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pekto;
  static const fuzz::ScratchFile input("Score.csv");
  static const fuzz::ScratchFile output("Saved.csv");
  CsvTable table("Tbl", ScoreSchema(), nullptr);
  table.Open();
  try {
    table.LoadFile(input.Write(fuzz::Bytes(data, size)));
  } catch (const Error&) {
    return 0;
  }
  Walk(table);
  if (!table.Fields().empty()) {
    table.SortBy(table.Fields().front().name, SortOption::Descending);
    Walk(table);
  }
  table.SaveFile(output.Path());
  CsvTable again("Tbl", ScoreSchema(), nullptr);
  again.Open();
  again.LoadFile(output.Path());
  if (again.RowCount() != table.RowCount()) fuzz::Fail("a saved table reads back other rows");
  if (again.Fields().size() != table.Fields().size()) {
    fuzz::Fail("a saved table reads back other fields");
  }
  return 0;
}
