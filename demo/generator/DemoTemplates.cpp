#include "DemoTemplates.h"

#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/package/XlsxWriter.h"

#include <QDir>
#include <QTextStream>
#include <QVariant>

namespace tannbuch {

namespace {

// One row of the settings sheet: key, value (a number or a text) and what it does.
struct Setting
{
    QString key;
    QVariant value;
    QString explanation;
};

// What differs between the two demo templates.
struct Layout
{
    QString fileName;
    QString title;
    int startRow = 8;
    int copyStart = 0;
    int copyEnd = 0;
    bool lotByLot = false;
    QString logoCell; // top left cell of the logo box
    RangeRef logoBox;
    RangeRef titleRange;
    int headerColumn = 3; // column of the header line targets
    QList<std::pair<QString, QString>> extraColumns;
};

QList<Setting> settingsFor(const Layout &layout)
{
    const auto on = [](bool b) { return QVariant(b ? 1 : 0); };
    QList<Setting> rows = {
        {QStringLiteral("LetztenTage"), 30,
            QStringLiteral("Tage zurück für den ersten Datumsbereich der Listenauswahl")},
        {QStringLiteral("StartZeile"), layout.startRow,
            QStringLiteral("Erste Zeile der Ausgabe; alles darüber ist der Kopf der Vorlage")},
        {QStringLiteral("KopfKopieStart"), layout.copyStart,
            QStringLiteral("Erste Kopfzeile, die über jedes weitere Los kopiert wird (0 = Zeile 1)")},
        {QStringLiteral("KopfKopieEnd"), layout.copyEnd,
            QStringLiteral("Letzte Kopfzeile, die über jedes weitere Los kopiert wird (0 = StartZeile - 1)")},
        {QStringLiteral("SpaltenBreite"), 11, QStringLiteral("Spaltenbreite der Datenspalten A bis J (Zeichen)")},
        {QStringLiteral("nZoom"), 75, QStringLiteral("Druckskalierung in Prozent (10 bis 400)")},
        {QStringLiteral("lKopfFuss"), 1,
            QStringLiteral("1 = Kopfzeile mit Listentitel und Fußzeile mit Seitenzahl drucken")},
        {QStringLiteral("lZusKopf"), 1,
            QStringLiteral("1 = Zusatzfelder des Listenkopfs (Text, Zahl, Datum) im Kopfblock")},
        {QStringLiteral("lZInfo"), 1, QStringLiteral("1 = Zusatztexte und Koordinaten der Datensätze im Kopfblock")},
        {QStringLiteral("lWagNrStammbemerkung"), 0, QStringLiteral("1 = Waggonnummer und Bemerkung im Kopfblock")},
        {QStringLiteral("lStatistik"), 1, QStringLiteral("1 = Statistik je Datensatzart im verdichteten Teil")},
        {QStringLiteral("lGesamt"), on(layout.lotByLot),
            QStringLiteral("1 = nach den Losen einen Gesamtblock über alle Lose drucken")},
        {QStringLiteral("lProzent"), 1, QStringLiteral("1 = Spalte \"%-Ant.\" im verdichteten Teil")},
        {QStringLiteral("lKubGesamt"), 1, QStringLiteral("1 = Summenblock am Ende der Liste")},
        {QStringLiteral("lDMSZ"), 1, QStringLiteral("1 = Durchschnitt der Messzahl (D-MSZ) im verdichteten Teil")},
        {QStringLiteral("lWaldortLang"), 0, QStringLiteral("1 = Waldort mit langem Namen")},
        {QStringLiteral("lHöhen"), 1, QStringLiteral("1 = Höhenmessung der Schichtholzpolter unter dem Datensatz")},
        {QStringLiteral("lLeereKopfzeilen"), 0, QStringLiteral("1 = auch Kopfzeilen ohne Wert drucken")},
        {QStringLiteral("lPolterKoordinaten"), 1,
            QStringLiteral("1 = Polterzusammenfassung mit Kartenlink bei Polterwechsel")},
        {QStringLiteral("lHolzsorteLangBeiVerdichtung"), 0,
            QStringLiteral("1 = Holzsorten im verdichteten Teil mit langem Namen")},
    };
    for (int i = 1; i <= 10; ++i)
        rows.append({QStringLiteral("lReltable(%1)").arg(i), i == 1 ? 1 : 0,
            QStringLiteral("1 = Zeile der Beziehungstabelle RELTABLE%1 im Kopfblock").arg(i)});
    for (int i = 0; i <= 8; ++i)
        rows.append({QStringLiteral("lAdresse(%1)").arg(i), i == 0 ? 1 : 0,
            QStringLiteral("1 = Anschrift der Rolle %1 im Kopfblock").arg(i)});
    rows += {
        {QStringLiteral("lVerkaufsart"), 1, QStringLiteral("1 = Verkaufsart im Kopfblock")},
        {QStringLiteral("EinzSort"), 2, QStringLiteral("Sortierung des Einzelteils 1 bis 6 (Startwert der Auswahl)")},
        {QStringLiteral("lEinzeln"), 1, QStringLiteral("1 = Einzelteil drucken (Startwert des Kontrollkästchens)")},
        {QStringLiteral("lVerdichtet"), 1, QStringLiteral("1 = verdichteten Teil drucken (Startwert)")},
        {QStringLiteral("lLosweise"), on(layout.lotByLot), QStringLiteral("1 = Los für Los drucken (Startwert)")},
        {QStringLiteral("lSofortDruck"), 0, QStringLiteral("1 = sofort drucken (Startwert)")},
        {QStringLiteral("lZuerstVerdichtet"), 1, QStringLiteral("1 = verdichteten Teil vor dem Einzelteil drucken")},
        {QStringLiteral("lAdressformat"), QStringLiteral("1"), QStringLiteral("Anschriftformat 1, 2 oder anderes")},
    };
    const QString header = CellAddress::columnLetters(layout.headerColumn);
    rows += {
        {QStringLiteral("KKLASSE"), QStringLiteral("Kub.Kl."),
            QStringLiteral("Zusatzspalte: Kubaturklasse (Überschrift in B)")},
        {QStringLiteral("ENTRINDUNG"), QStringLiteral("Rinde"), QStringLiteral("Zusatzspalte: Entrindung")},
        {QStringLiteral("ZUSTEXT1"), QStringLiteral("Zusatztext 1"), QStringLiteral("Zusatzspalte: erster Zusatztext")},
    };
    for (const auto &[key, caption] : layout.extraColumns)
        rows.append({key, caption, QStringLiteral("Zusatzspalte: %1").arg(caption)});
    rows += {
        {QStringLiteral("ini.headerline1"), header + QStringLiteral("2"),
            QStringLiteral("Zielzelle der Kopfzeile 1 (Text aus Headerline1 der ini-Datei)")},
        {QStringLiteral("ini.headerline2"), header + QStringLiteral("3"),
            QStringLiteral("Zielzelle der Kopfzeile 2 (Headerline2)")},
        {QStringLiteral("ini.headerline3"), header + QStringLiteral("4"),
            QStringLiteral("Zielzelle der Kopfzeile 3 (Headerline3)")},
        {QStringLiteral("ini.headerpicture1"), layout.logoCell,
            QStringLiteral("Zelle für das Logo (Bilddatei aus Headerpicture1 der ini-Datei)")},
    };
    return rows;
}

void put(Worksheet &sheet, int row, int column, const QVariant &value, quint32 style = 0)
{
    Cell &cell = sheet.cellForWrite(row, column);
    cell.styleId = style;
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::Double) {
        cell.type = CellType::Number;
        cell.number = value.toDouble();
    } else {
        cell.type = CellType::Text;
        cell.text = value.toString();
    }
}

BorderLine thin()
{
    return BorderLine{Xl::Continuous, Xl::Thin, Xl::ColorIndexAutomatic};
}

void writeSettingsSheet(Workbook &wb, const Layout &layout)
{
    Worksheet &sheet = wb.addSheet(QStringLiteral("Einstellungen"));
    CellStyle heading;
    heading.bold = true;
    heading.borders[EdgeBottom] = thin();
    const quint32 headingStyle = wb.styles().intern(heading);
    CellStyle text;
    text.numberFormat = QStringLiteral("@");
    const quint32 textStyle = wb.styles().intern(text);
    put(sheet, 1, 1, QStringLiteral("Schlüssel"), headingStyle);
    put(sheet, 1, 2, QStringLiteral("Wert"), headingStyle);
    put(sheet, 1, 3, QStringLiteral("Erklärung (gelesen werden die Zeilen 2 bis 101, Schlüssel in A, Wert in B)"),
        headingStyle);
    int row = 2;
    for (const Setting &s : settingsFor(layout)) {
        put(sheet, row, 1, s.key);
        put(sheet, row, 2, s.value, s.value.typeId() == QMetaType::QString ? textStyle : 0);
        put(sheet, row, 3, s.explanation);
        ++row;
    }
    auto &columns = sheet.columnsForWrite();
    columns[1] = ColumnData{30, true, false, 0};
    columns[2] = ColumnData{14, true, false, 0};
    columns[3] = ColumnData{80, true, false, 0};
}

void writeReportSheet(Workbook &wb, const Layout &layout)
{
    Worksheet &sheet = wb.addSheet(QStringLiteral("Tannbuch"));
    CellStyle title;
    title.bold = true;
    title.fontSize = 16;
    CellStyle label;
    label.bold = true;
    CellStyle line;
    line.fontSize = 11;
    CellStyle rule;
    rule.borders[EdgeBottom] = BorderLine{Xl::Continuous, Xl::Medium, Xl::ColorIndexAutomatic};

    put(sheet, layout.titleRange.firstRow, layout.titleRange.firstColumn, layout.title, wb.styles().intern(title));
    sheet.mergesForWrite().push_back(layout.titleRange);
    sheet.rowForWrite(layout.titleRange.firstRow).height = 24;
    sheet.rowForWrite(layout.titleRange.firstRow).customHeight = true;

    const QStringList labels = {QStringLiteral("Betrieb:"), QStringLiteral("Anschrift:"), QStringLiteral("Telefon:")};
    for (int i = 0; i < labels.size(); ++i) {
        put(sheet, 2 + i, layout.headerColumn - 1, labels[i], wb.styles().intern(label));
        // The header line from the ini file lands beside its label.
        sheet.cellForWrite(2 + i, layout.headerColumn).styleId = wb.styles().intern(line);
    }

    // The logo box: a framed, merged area with the picture's cell at its top left.
    const RangeRef box = layout.logoBox;
    for (int r = box.firstRow; r <= box.lastRow; ++r) {
        for (int c = box.firstColumn; c <= box.lastColumn; ++c) {
            CellStyle frame;
            if (r == box.firstRow)
                frame.borders[EdgeTop] = thin();
            if (r == box.lastRow)
                frame.borders[EdgeBottom] = thin();
            if (c == box.firstColumn)
                frame.borders[EdgeLeft] = thin();
            if (c == box.lastColumn)
                frame.borders[EdgeRight] = thin();
            frame.horizontalAlignment = HAlign::Center;
            sheet.cellForWrite(r, c).styleId = wb.styles().intern(frame);
        }
    }
    put(sheet, box.firstRow, box.firstColumn, QStringLiteral("Logo"),
        sheet.cell(box.firstRow, box.firstColumn)->styleId);
    sheet.mergesForWrite().push_back(box);

    // A rule under the head, then the output area from StartZeile.
    const int ruleRow = layout.startRow - 2;
    for (int c = 1; c <= 10; ++c)
        sheet.cellForWrite(ruleRow, c).styleId = wb.styles().intern(rule);

    auto &columns = sheet.columnsForWrite();
    for (int c = 1; c <= 10; ++c)
        columns[c] = ColumnData{11, true, false, 0};
    for (int c = 11; c <= 16; ++c)
        columns[c] = ColumnData{14, true, false, 0};

    PageSetup &page = sheet.pageSetupForWrite();
    page.changed = true;
    page.paperSize = 9; // A4
    page.orientation = QStringLiteral("landscape"); // the single-log section runs to column N
    page.scale = 100;
}

void writeTemplate(const QString &path, const Layout &layout)
{
    Workbook wb;
    writeReportSheet(wb, layout);
    writeSettingsSheet(wb, layout);
    wb.setActiveSheetIndex(0);
    XlsxWriter::Options options;
    options.kind = XlsxWriter::FileKind::Template;
    XlsxWriter::save(wb, path, options);
}

} // namespace

int writeDemoTemplates(const QString &outDir)
{
    QTextStream err(stderr);
    if (!QDir().mkpath(outDir)) {
        err << QStringLiteral("Der Ordner \"%1\" kann nicht angelegt werden.\n").arg(outDir);
        return 1;
    }

    Layout whole;
    whole.fileName = QStringLiteral("Tannbuch.xltx");
    whole.title = QStringLiteral("Tannbuch – Holzliste");
    whole.startRow = 8;
    whole.titleRange = {1, 1, 1, 6};
    whole.logoCell = QStringLiteral("H1");
    whole.logoBox = {1, 8, 5, 10};
    whole.headerColumn = 3;

    Layout lots;
    lots.fileName = QStringLiteral("Tannbuch_Losweise.xltx");
    lots.title = QStringLiteral("Tannbuch – Holzliste Los für Los");
    lots.startRow = 10;
    lots.copyStart = 1;
    lots.copyEnd = 8;
    lots.lotByLot = true;
    lots.titleRange = {1, 4, 1, 10};
    lots.logoCell = QStringLiteral("A1");
    lots.logoBox = {1, 1, 6, 2};
    lots.headerColumn = 5;
    lots.extraColumns = {{QStringLiteral("TL.LOS"), QStringLiteral("Transportlos")},
        {QStringLiteral("COORDINATE1"), QStringLiteral("Koordinate")}};

    try {
        for (const Layout &layout : {whole, lots})
            writeTemplate(QDir(outDir).filePath(layout.fileName), layout);
    } catch (const WorkbookError &e) {
        err << e.message() << '\n';
        return 1;
    }
    return 0;
}

} // namespace tannbuch
