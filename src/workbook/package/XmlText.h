#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace tannbuch {

// The one place where the file layer turns text into XML. Texts come from the
// database and may hold anything; what XML 1.0 cannot carry is written in the
// workbook format's own escape form "_xHHHH_", so a bad value can never
// corrupt the file.
namespace XmlText {

// Appends a cell text (shared string, inline string, cached formula text) as
// UTF-8 character data: &, < and > as entities; control characters XML 1.0
// forbids, and a carriage return, as _xHHHH_; the underscore of a literal
// "_xHHHH_" in the text as _x005F_, so that reading it back gives the text
// again. A lone surrogate becomes U+FFFD.
void appendCellText(QByteArray &out, QStringView text);

// Appends an attribute value between double quotes (the quotes are not
// written): &, <, > and " as entities, tab and line breaks as character
// references; characters XML 1.0 forbids are left out.
void appendAttribute(QByteArray &out, QStringView text);

// Appends an attribute with a blank before it, ` name="value"`, the value
// escaped as by appendAttribute.
void appendNamedAttribute(QByteArray &out, const char *name, QStringView value);

// Appends character data that is not a cell text (a formula, a header or
// footer text): entities as above, forbidden characters left out, no _xHHHH_.
void appendPlain(QByteArray &out, QStringView text);

// The text with every _xHHHH_ escape turned back into its character; the
// reading side of appendCellText.
QString decodeCellText(QStringView text);

// True when the text needs xml:space="preserve" to keep its blanks (leading or
// trailing white space).
bool needsSpacePreserve(QStringView text);

} // namespace XmlText

} // namespace tannbuch
