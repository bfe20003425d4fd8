#pragma once

#include <QString>

namespace tannbuch {

// Keeps a date box to the form dd.mm.yyyy while the user types: given the
// box's text, the caret position (characters before the caret), the
// selection length and the key code, returns the key code to pass on, or 0
// when the key is swallowed. Digits fill at most two places before the first
// ".", two after it and four after the second; "." is allowed only where it
// separates parts; Backspace (8) and Enter (13) pass; every other key is
// swallowed. Values are not checked here.
int FilterDateKey(const QString &text, int caret, int selectionLength, int key);

} // namespace tannbuch
