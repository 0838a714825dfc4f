// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every modal dialog of the program runs through ExecDialog. Tests install a hook that answers
// each dialog as it opens (fill it in, accept or reject it) instead of polling for modal windows.

#include <QDialog>
#include <functional>

namespace pekto {

// Called with each dialog once it is shown and modal; it must close the dialog (accept, reject
// or done) or the dialog waits for the user as usual.
using DialogHook = std::function<void(QDialog& dialog)>;

// Installs `hook` for the dialogs that follow (an empty hook removes it); returns the one it
// replaces.
DialogHook SetDialogHook(DialogHook hook);

// Shows `dialog` modally and returns its result code, as QDialog::exec does.
int ExecDialog(QDialog& dialog);

}  // namespace pekto
