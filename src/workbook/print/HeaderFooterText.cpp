#include "HeaderFooterText.h"

#include "workbook/package/StyleCodes.h"

#include <QLocale>

#include <optional>

namespace tannbuch {

namespace {

using Run = HeaderFooterText::Run;
using Line = HeaderFooterText::Line;

bool styleNames(const QString &style, const char *english, const char *german)
{
    return style.contains(QLatin1String(english), Qt::CaseInsensitive)
        || style.contains(QLatin1String(german), Qt::CaseInsensitive);
}

bool sameFont(const Run &a, const Run &b)
{
    return a.family == b.family && a.size == b.size && a.bold == b.bold && a.italic == b.italic
        && a.underline == b.underline && a.color == b.color;
}

// Reads a header or footer code from left to right. Plain characters and
// field values gather as pending text; a change of font or of part puts the
// pending text into a run of the font it was written in.
class CodeReader
{
public:
    CodeReader(const QString &code, const HeaderFooterText::Fields &fields, const QString &family, double size);
    std::array<Line, 3> read();

private:
    void readCode(QChar key);
    std::optional<QString> fieldText(char16_t key) const;
    void toggleFont(char16_t key);
    void readColor();
    void readFontName();
    void readFontSize();
    void flush();

    const QString &m_code;
    const HeaderFooterText::Fields &m_fields;
    const QLocale m_german{QLocale::German, QLocale::Germany};
    qsizetype m_at = 0; // the character being read
    Run m_font;
    HeaderFooterText::Part m_part = HeaderFooterText::Centre; // text before any section code belongs to the centre
    QString m_pending;
    std::array<Line, 3> m_parts;
};

CodeReader::CodeReader(const QString &code, const HeaderFooterText::Fields &fields, const QString &family, double size)
    : m_code(code)
    , m_fields(fields)
{
    m_font.family = family;
    m_font.size = size;
}

std::array<Line, 3> CodeReader::read()
{
    const qsizetype n = m_code.size();
    for (m_at = 0; m_at < n; ++m_at) {
        const QChar c = m_code.at(m_at);
        if (c != QLatin1Char('&')) {
            m_pending += c;
            continue;
        }
        if (++m_at >= n)
            break;
        readCode(m_code.at(m_at));
    }
    flush();
    return m_parts;
}

// The code after an ampersand. A picture (&G), strike-through, super- and
// subscript, outline and shadow are skipped, as is anything this program
// does not know.
void CodeReader::readCode(QChar code)
{
    const char16_t key = code.toUpper().unicode();
    if (const std::optional<QString> text = fieldText(key)) {
        m_pending += *text;
    } else if (key == 'L' || key == 'C' || key == 'R') {
        flush();
        m_part = key == 'L' ? HeaderFooterText::Left : key == 'C' ? HeaderFooterText::Centre : HeaderFooterText::Right;
    } else if (key == 'K') {
        readColor();
    } else if (key == '"') {
        readFontName();
    } else if (code.isDigit()) {
        readFontSize();
    } else {
        toggleFont(key);
    }
}

// The text a field code stands for; none for a code that is no field.
std::optional<QString> CodeReader::fieldText(char16_t key) const
{
    switch (key) {
    case '&':
        return QStringLiteral("&");
    case 'P':
        return QString::number(m_fields.page);
    case 'N':
        return QString::number(m_fields.pages);
    case 'D':
        return m_german.toString(m_fields.printed.date(), QStringLiteral("dd.MM.yyyy"));
    case 'T':
        return m_german.toString(m_fields.printed.time(), QStringLiteral("HH:mm"));
    case 'A':
        return m_fields.sheetName;
    case 'F':
        return m_fields.fileName;
    case 'Z':
        return m_fields.folder;
    default:
        return std::nullopt;
    }
}

// &B, &I and &U (or &E, double underline) switch bold, italic and underline.
void CodeReader::toggleFont(char16_t key)
{
    bool *flag = key == 'B'        ? &m_font.bold
        : key == 'I'               ? &m_font.italic
        : key == 'U' || key == 'E' ? &m_font.underline
                                   : nullptr;
    if (!flag)
        return;
    flush();
    *flag = !*flag;
}

// &K and six characters: a colour RRGGBB, or a theme colour's number, a
// sign and its tint in percent (&K01+000, &K04-025). What is neither leaves
// the colour as it was; the six characters are passed over all the same.
void CodeReader::readColor()
{
    const QString spec = m_code.mid(m_at + 1, 6);
    m_at += spec.size();
    QColor color;
    bool themed = false;
    const int theme = spec.left(2).toInt(&themed);
    const QChar sign = spec.size() == 6 ? spec.at(2) : QChar();
    bool tinted = false;
    const int tint = spec.mid(3).toInt(&tinted);
    if (spec.size() == 6 && themed && tinted && (sign == u'+' || sign == u'-')) {
        const QString rgb = StyleCodes::themeColor(theme);
        if (!rgb.isEmpty())
            color = QColor(StyleCodes::tintedColor(rgb, (sign == u'-' ? -tint : tint) / 100.0));
    } else if (spec.size() == 6) {
        color = QColor(QLatin1Char('#') + spec);
    }
    if (!color.isValid())
        return;
    flush();
    m_font.color = color;
}

// &"Name,Style": the family ("-" keeps the one before) and a style that
// names bold or italic, or neither for a regular font.
void CodeReader::readFontName()
{
    const qsizetype end = m_code.indexOf(QLatin1Char('"'), m_at + 1);
    const QString spec = m_code.mid(m_at + 1, end < 0 ? -1 : end - m_at - 1);
    m_at = end < 0 ? m_code.size() : end;
    flush();
    const QString name = spec.section(QLatin1Char(','), 0, 0).trimmed();
    const QString style = spec.section(QLatin1Char(','), 1).trimmed();
    if (!name.isEmpty() && name != QLatin1String("-"))
        m_font.family = name;
    m_font.bold = styleNames(style, "bold", "fett");
    m_font.italic = styleNames(style, "italic", "kursiv");
}

// &12: the size in points of the text that follows.
void CodeReader::readFontSize()
{
    qsizetype end = m_at;
    while (end < m_code.size() && m_code.at(end).isDigit())
        ++end;
    flush();
    m_font.size = std::max(1, m_code.mid(m_at, end - m_at).toInt());
    m_at = end - 1;
}

// The pending text joins the part's last run when that has the same font.
void CodeReader::flush()
{
    if (m_pending.isEmpty())
        return;
    Line &line = m_parts[size_t(m_part)];
    if (!line.empty() && sameFont(line.back(), m_font)) {
        line.back().text += m_pending;
    } else {
        Run run = m_font;
        run.text = m_pending;
        line.push_back(run);
    }
    m_pending.clear();
}

} // namespace

HeaderFooterText HeaderFooterText::parse(const QString &code, const Fields &fields, const QString &family, double size)
{
    HeaderFooterText result;
    result.m_parts = CodeReader(code, fields, family, size).read();
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

} // namespace tannbuch
