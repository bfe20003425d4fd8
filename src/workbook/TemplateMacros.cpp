#include "TemplateMacros.h"

#include "Workbook.h"
#include "WorkbookError.h"
#include "Worksheet.h"

namespace {

const QString ModulePrefix = QStringLiteral("DieseArbeitsmappe.");

// Splits a connection text at ";" outside braces and quotes, so that a
// password holding ";" is taken out whole.
QStringList connectionItems(const QString &text)
{
    QStringList items;
    QString current;
    QChar closing;
    for (QChar c : text) {
        if (!closing.isNull()) {
            current += c;
            if (c == closing)
                closing = QChar();
            continue;
        }
        if (c == QLatin1Char('{'))
            closing = QLatin1Char('}');
        else if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            closing = c;
        if (c == QLatin1Char(';')) {
            items.append(current);
            current.clear();
            continue;
        }
        current += c;
    }
    items.append(current);
    return items;
}

void requireArguments(const QString &name, const QVariantList &arguments, int count)
{
    if (arguments.size() != count)
        throw WorkbookError(QStringLiteral("Das Makro \"%1\" erwartet %2 Argumente, übergeben wurden %3.")
                                .arg(name)
                                .arg(count)
                                .arg(arguments.size()));
}

// Header and footer texts use "&" for their codes; a literal "&" is doubled.
QString headerText(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

void writeKopfFuss(Workbook &workbook, Worksheet &sheet, const QVariantList &arguments)
{
    const bool kopfFuss = arguments.at(0).toBool();
    bool ok = false;
    const int zoom = arguments.at(1).toInt(&ok);
    const bool zoomFits = ok && zoom >= 10 && zoom <= 400;
    if (!zoomFits && !kopfFuss)
        return;
    PageSetup &page = sheet.pageSetupForWrite();
    page.changed = true;
    if (zoomFits)
        page.scale = zoom;
    if (kopfFuss) {
        const QString listNumber
            = workbook.customProperties().value(TemplateMacros::listNumberProperty()).toString().trimmed();
        page.oddHeader
            = listNumber.isEmpty() ? QStringLiteral("&C&A") : QStringLiteral("&CHolzliste ") + headerText(listNumber);
        page.oddFooter = QStringLiteral("&CSeite &P von &N");
    }
}

} // namespace

QString TemplateMacros::connectionProperty()
{
    return QStringLiteral("TannbuchVerbindung");
}

QString TemplateMacros::filterProperty()
{
    return QStringLiteral("TannbuchFilter");
}

QString TemplateMacros::listNumberProperty()
{
    return QStringLiteral("TannbuchListe");
}

QString TemplateMacros::withoutPassword(const QString &connectionString)
{
    QStringList kept;
    for (const QString &item : connectionItems(connectionString)) {
        const QString key = item.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        if (key == QLatin1String("password") || key == QLatin1String("pwd"))
            continue;
        kept.append(item);
    }
    return kept.join(QLatin1Char(';'));
}

void TemplateMacros::run(Workbook &workbook, Worksheet &sheet, const QString &name, const QVariantList &arguments)
{
    // "Book.xltx!DieseArbeitsmappe.X" names the same macro as "DieseArbeitsmappe.X".
    QString macro = name.trimmed();
    const qsizetype bang = macro.lastIndexOf(QLatin1Char('!'));
    if (bang >= 0)
        macro = macro.mid(bang + 1);
    const auto is
        = [&](const QString &procedure) { return macro.compare(ModulePrefix + procedure, Qt::CaseInsensitive) == 0; };

    if (is(QStringLiteral("SetGlobalVariables"))) {
        requireArguments(name, arguments, 3);
        auto &properties = workbook.customProperties();
        properties.insert(connectionProperty(), withoutPassword(arguments.at(0).toString()));
        properties.insert(filterProperty(), arguments.at(1).toString());
        properties.insert(listNumberProperty(), arguments.at(2).toString());
    } else if (is(QStringLiteral("WriteKopfFuss"))) {
        requireArguments(name, arguments, 2);
        writeKopfFuss(workbook, sheet, arguments);
    } else if (is(QStringLiteral("WriteKundeKopf")) || is(QStringLiteral("SetDotFields"))) {
        requireArguments(name, arguments, 0);
    } else {
        throw WorkbookError(QStringLiteral("Das Makro \"%1\" wurde in der Arbeitsmappe nicht gefunden.").arg(name));
    }
}
