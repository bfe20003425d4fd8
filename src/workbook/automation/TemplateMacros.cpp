#include "TemplateMacros.h"

#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/Worksheet.h"

#include <QRegularExpression>

namespace tannbuch {

namespace {

const QString ModulePrefix = QStringLiteral("DieseArbeitsmappe.");

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
        page.setScale(zoom);
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

QString TemplateMacros::storedConnection(const QString &connectionText)
{
    // Whatever is not exactly a provider name stays out of the file, so no
    // credential reaches it even from a careless caller.
    static const QRegularExpression providerOnly(QStringLiteral("^Provider=[A-Za-z][A-Za-z0-9._-]{0,63}$"));
    return providerOnly.match(connectionText).hasMatch() ? connectionText : QString();
}

QString TemplateMacros::storedFilter(const QString &filter)
{
    if (filter.size() <= FilterLimit)
        return filter;
    return filter.left(FilterLimit) + QStringLiteral(" … (gekürzt, die Auswahl hat %1 Zeichen)").arg(filter.size());
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
        properties.insert(connectionProperty(), storedConnection(arguments.at(0).toString()));
        properties.insert(filterProperty(), storedFilter(arguments.at(1).toString()));
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

} // namespace tannbuch
