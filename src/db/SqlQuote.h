#pragma once

#include <QString>

namespace tannbuch {

// Text for the inside of a single-quoted SQL literal: every single quote is
// doubled, so a value like O'Brien stays one value and can never change a
// statement's meaning. A value without quotes comes back unchanged.
QString sqlQuoteInner(const QString &value);

// A value as a whole SQL text literal: 'O''Brien'. A value holding a
// character that Windows-1252 lacks becomes a Unicode literal, N'Łoś':
// SQL Server reads a plain literal in the code page of its default collation
// and would turn Łoś into Los, which finds another lot's records. Every other
// value keeps the plain form the statements have always had.
QString sqlTextLiteral(const QString &value);

} // namespace tannbuch
