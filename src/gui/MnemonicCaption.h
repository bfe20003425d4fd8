#pragma once

#include <QString>

namespace tannbuch {

// Captions of labels whose wording comes from the database, given a
// mnemonic so Alt and a letter reach their box.

// The caption with "&" before its first letter that is not among the used
// ones (letter case ignored); an "&" of the caption itself stays a plain "&".
// Unchanged (but for that) when every letter is taken.
QString MnemonicCaption(const QString &caption, const QString &usedLetters);

// The mnemonic letter of a caption in lower case, or a null character.
QChar MnemonicLetter(const QString &text);

// A caption as words in a message: without its mnemonic and trailing colon.
QString PlainCaption(const QString &text);

} // namespace tannbuch
