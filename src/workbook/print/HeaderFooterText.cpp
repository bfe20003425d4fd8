#include "HeaderFooterText.h"

#include <QLocale>

namespace {

bool styleNames(const QString &style, const char *english, const char *german)
{
    return style.contains(QLatin1String(english), Qt::CaseInsensitive)
        || style.contains(QLatin1String(german), Qt::CaseInsensitive);
}

} // namespace

HeaderFooterText HeaderFooterText::parse(const QString &code, const Fields &fields, const QString &family, double size)
{
    HeaderFooterText result;
    Run font;
    font.family = family;
    font.size = size;
    Part part = Centre; // text before any section code belongs to the centre
    QString pending;

    const auto flush = [&] {
        if (pending.isEmpty())
            return;
        Line &line = result.m_parts[size_t(part)];
        if (!line.empty()) {
            Run &last = line.back();
            if (last.family == font.family && last.size == font.size && last.bold == font.bold
                && last.italic == font.italic && last.underline == font.underline) {
                last.text += pending;
                pending.clear();
                return;
            }
        }
        Run run = font;
        run.text = pending;
        line.push_back(run);
        pending.clear();
    };
    const QLocale german(QLocale::German, QLocale::Germany);

    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = code.at(i);
        if (c != QLatin1Char('&')) {
            pending += c;
            continue;
        }
        if (++i >= n)
            break;
        const QChar k = code.at(i);
        switch (k.toUpper().unicode()) {
        case '&':
            pending += QLatin1Char('&');
            break;
        case 'L':
        case 'C':
        case 'R':
            flush();
            part = k.toUpper() == QLatin1Char('L') ? Left : k.toUpper() == QLatin1Char('C') ? Centre : Right;
            break;
        case 'P':
            pending += QString::number(fields.page);
            break;
        case 'N':
            pending += QString::number(fields.pages);
            break;
        case 'D':
            pending += german.toString(fields.printed.date(), QStringLiteral("dd.MM.yyyy"));
            break;
        case 'T':
            pending += german.toString(fields.printed.time(), QStringLiteral("HH:mm"));
            break;
        case 'A':
            pending += fields.sheetName;
            break;
        case 'F':
            pending += fields.fileName;
            break;
        case 'Z':
        case 'G':
            break; // path and picture: not drawn
        case 'B':
            flush();
            font.bold = !font.bold;
            break;
        case 'I':
            flush();
            font.italic = !font.italic;
            break;
        case 'U':
        case 'E':
            flush();
            font.underline = !font.underline;
            break;
        case 'S':
        case 'X':
        case 'Y':
        case 'O':
        case 'H':
            break;
        case 'K':
            i += std::min<qsizetype>(6, n - 1 - i); // a colour RRGGBB (or a theme code of six)
            break;
        case '"': {
            const qsizetype end = code.indexOf(QLatin1Char('"'), i + 1);
            const QString spec = code.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? n : end;
            flush();
            const QString name = spec.section(QLatin1Char(','), 0, 0).trimmed();
            const QString style = spec.section(QLatin1Char(','), 1).trimmed();
            if (!name.isEmpty() && name != QLatin1String("-"))
                font.family = name;
            font.bold = styleNames(style, "bold", "fett");
            font.italic = styleNames(style, "italic", "kursiv");
            break;
        }
        default:
            if (k.isDigit()) {
                qsizetype end = i;
                while (end < n && code.at(end).isDigit())
                    ++end;
                flush();
                font.size = std::max(1, code.mid(i, end - i).toInt());
                i = end - 1;
            }
            break; // anything else is not a code this program knows: dropped
        }
    }
    flush();
    return result;
}

bool HeaderFooterText::isEmpty() const
{
    for (const Line &line : m_parts) {
        if (!line.empty())
            return false;
    }
    return true;
}

QString HeaderFooterText::plainText(Part p) const
{
    QString text;
    for (const Run &run : m_parts[size_t(p)])
        text += run.text;
    return text;
}
