#pragma once
// The certificate of one recorded result: a one-page printout shown in a print preview.

#include <cstdint>

class QWidget;

namespace pekto {

class CsvTable;

// Shows the certificate of the score row `id` among the rows that `shown` (the results
// window's table) shows now, in a print-preview window; returns when it has closed.
void PrintCertificate(const CsvTable& shown, int32_t id, QWidget* owner);

}  // namespace pekto
