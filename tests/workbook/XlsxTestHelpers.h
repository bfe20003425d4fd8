#pragma once

// Helpers shared by the workbook file tests: running the independent reader
// (openpyxl) over a saved file, reading single parts of a saved package, and
// building template files by hand.

#include "common/TestSupport.h"
#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/ZipArchive.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace tannbuch {

namespace xlsxtest {

inline const QString python = QStringLiteral("/usr/bin/python3");

using testsupport::haveOpenpyxl;

// What openpyxl reads from the file; each wanted entry is "Sheet:A1,B2".
// Fails the test when the reader reports an error.
inline QJsonObject verify(const QString &path, const QStringList &wanted)
{
    QStringList requests;
    for (const QString &entry : wanted) {
        const QString sheet = entry.section(u':', 0, 0);
        requests << sheet;
        for (const QString &cell : entry.section(u':', 1).split(u',', Qt::SkipEmptyParts))
            requests << sheet + u'!' + cell;
    }
    return testsupport::readWithOpenpyxl(path, requests);
}

inline QJsonObject sheetOf(const QJsonObject &result, const QString &sheet)
{
    return result.value(QStringLiteral("sheet")).toObject().value(sheet).toObject();
}

inline QJsonObject cellOf(const QJsonObject &result, const QString &sheet, const QString &cell)
{
    return sheetOf(result, sheet).value(QStringLiteral("cells")).toObject().value(cell).toObject();
}

// One part of a saved package; empty when missing.
inline QByteArray part(const QString &zipPath, const QString &name)
{
    for (const ZipEntry &e : ZipArchive::read(zipPath)) {
        if (e.name == name)
            return e.data;
    }
    return QByteArray();
}

inline QStringList partNames(const QString &zipPath)
{
    QStringList names;
    for (const ZipEntry &e : ZipArchive::read(zipPath))
        names.append(e.name);
    return names;
}

// Writes a zip file from (name, text) pairs.
inline void writeZip(const QString &path, const std::vector<ZipEntry> &entries)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ZipArchive::write(entries));
}

inline ZipEntry entry(const char *name, const QByteArray &data)
{
    return {QString::fromUtf8(name), data};
}

// Writes a text or a number into a cell of the model; the cell.
inline Cell &setText(Worksheet &sheet, int row, int column, const QString &text, quint32 style = 0)
{
    Cell &c = sheet.cellForWrite(row, column);
    c.type = CellType::Text;
    c.text = text;
    c.styleId = style;
    return c;
}
inline Cell &setNumber(Worksheet &sheet, int row, int column, double value, quint32 style = 0)
{
    Cell &c = sheet.cellForWrite(row, column);
    c.type = CellType::Number;
    c.number = value;
    c.styleId = style;
    return c;
}

// A one-pixel PNG image: the template's logo and an inserted picture.
inline QByteArray tinyPng()
{
    return QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==");
}

inline const char *xmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// One part of the hand-made template below; the macro-enabled template's own
// parts lie in a folder of their own and take the place of the plain ones.
inline QByteArray templatePart(const QString &name, bool macros)
{
    QFile own(testsupport::sourcePath(QStringLiteral("tests/data/handmade-template-macros/") + name));
    QFile plain(testsupport::sourcePath(QStringLiteral("tests/data/handmade-template/") + name));
    QFile &file = macros && own.exists() ? own : plain;
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "template part missing: " << name.toStdString();
    return file.readAll();
}

// A hand-made template as a spreadsheet program saves one, its parts kept as
// files under tests/data/handmade-template: report sheet "Tannbuch" (styles,
// a shared formula, a merge, a hyperlink, a row break, column widths, a logo
// picture, conditional format, data validation, page set-up with header),
// settings sheet "Einstellungen", a print area and print titles and a
// calculation chain. With `macros`, a macro-enabled template
// with a project part.
inline std::vector<ZipEntry> templateEntries(bool macros = false)
{
    QStringList names = {QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
        QStringLiteral("docProps/app.xml"), QStringLiteral("docProps/core.xml"), QStringLiteral("xl/workbook.xml"),
        QStringLiteral("xl/_rels/workbook.xml.rels"), QStringLiteral("xl/styles.xml"),
        QStringLiteral("xl/sharedStrings.xml"), QStringLiteral("xl/calcChain.xml"),
        QStringLiteral("xl/worksheets/sheet1.xml"), QStringLiteral("xl/worksheets/_rels/sheet1.xml.rels"),
        QStringLiteral("xl/worksheets/sheet2.xml"), QStringLiteral("xl/drawings/drawing1.xml"),
        QStringLiteral("xl/drawings/_rels/drawing1.xml.rels"), QStringLiteral("xl/media/image1.png"),
        QStringLiteral("xl/printerSettings/printerSettings1.bin")};
    if (macros)
        names << QStringLiteral("xl/vbaProject.bin");
    std::vector<ZipEntry> entries;
    for (const QString &name : names)
        entries.push_back({name, templatePart(name, macros)});
    return entries;
}

} // namespace xlsxtest

} // namespace tannbuch
