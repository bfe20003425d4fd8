#pragma once

#include <QString>

#include <memory>

namespace tannbuch {

class Workbook;
struct TemplatePrintFormat;

// Reads workbook and template files into the in-memory model.
class XlsxReader
{
public:
    // Loads a .xlsx, .xlsm, .xltx or .xltm file (a legacy binary .xlt is first
    // converted with the office suite, when installed). The workbook keeps the
    // file's package so that saving writes every unchanged part back as it was.
    // Throws WorkbookError with a German message naming the file when the file
    // is missing, not a workbook, damaged, too large or cannot be converted.
    static std::unique_ptr<Workbook> load(const QString &path);

    // How a worksheet part prints beyond its page set-up (what load puts
    // into each sheet, but for the print area and titles, which the
    // workbook part names). Throws WorkbookError when the part is no XML.
    static TemplatePrintFormat printFormatOf(const QByteArray &sheetXml, const QString &partName);
};

} // namespace tannbuch
