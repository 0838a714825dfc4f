// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's message boxes and the application's general error report.

#include <QString>

class QWidget;

namespace pekto {

inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDCANCEL = 2;

// Modal box captioned "Hiba" with the error icon and OK; the window that was active before is
// made active again afterwards.
void ShowError(const QString& message, QWidget* owner);

// Modal box captioned "Figyelem" with the warning icon and OK, for what went differently from
// what the user asked but lost nothing.
void ShowWarning(const QString& message, QWidget* owner);

// Modal box with the question icon and Yes, No, Cancel; returns IDYES, IDNO or IDCANCEL
// (closing the box counts as Cancel).
int AskYesNoCancel(const QString& message, const QString& caption, QWidget* owner);

// The general error report: a box captioned "Pekto" with the error icon and the text, a full
// stop appended when the text's last character lies above the full stop.
void ReportError(const QString& message);

// The text the general error report shows.
QString ErrorReportText(const QString& message);

}  // namespace pekto
