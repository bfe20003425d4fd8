#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace tannbuch {

// The host's single-byte code page: its ini files are written in it, and
// SQL Server keeps the single-byte texts of its default collation in it.
namespace Windows1252 {

// The text of bytes in the code page. The five codes the page leaves
// unassigned map to the characters of the same number, as the Windows
// conversion does.
QString decode(const QByteArray &bytes);

// True when the code page has a byte for every character of the text (the
// five unassigned codes count as missing).
bool holds(QStringView text);

} // namespace Windows1252

} // namespace tannbuch
