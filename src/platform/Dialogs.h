// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every modal dialog of the program runs through ExecDialog. Tests install a hook that answers
// each dialog as it opens (fill it in, accept or reject it) instead of polling for modal windows.

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>

namespace pekto {

// Called with each dialog once it is shown and modal; it must close the dialog (accept, reject
// or done) or the dialog waits for the user as usual.
using DialogHook = std::function<void(QDialog& dialog)>;

// Installs `hook` for the dialogs that follow (an empty hook removes it); returns the one it
// replaces.
DialogHook SetDialogHook(DialogHook hook);

// Shows `dialog` modally and returns its result code, as QDialog::exec does.
int ExecDialog(QDialog& dialog);

// The user's documents folder where there is one, else the home folder.
QString DocumentsFolder();

// The file dialog "SaveDialog1" that asks where to save: `suggested` preset (a full path),
// `filter` ("PDF-dokumentum (*.pdf)") and `suffix` added to a name typed without one. Nothing
// when it was cancelled.
std::optional<std::filesystem::path> AskSaveFile(QWidget& owner, const QString& caption,
                                                 const QString& suggested, const QString& filter,
                                                 const QString& suffix);

}  // namespace pekto
