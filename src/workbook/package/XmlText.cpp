#include "XmlText.h"

namespace tannbuch {

namespace {

enum class Mode { CellText, Attribute, Plain };

bool isHex(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
}

int hexValue(char16_t u)
{
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return u - u'a' + 10;
}

// "_xHHHH_" starting at i.
bool isEscapeAt(QStringView text, qsizetype i)
{
    return i + 6 < text.size() && text[i] == QLatin1Char('_') && text[i + 1] == QLatin1Char('x') && isHex(text[i + 2])
        && isHex(text[i + 3]) && isHex(text[i + 4]) && isHex(text[i + 5]) && text[i + 6] == QLatin1Char('_');
}

void appendEscapeForm(QByteArray &out, char32_t code)
{
    static const char digits[] = "0123456789ABCDEF";
    char buffer[7] = {'_', 'x', digits[(code >> 12) & 0xF], digits[(code >> 8) & 0xF], digits[(code >> 4) & 0xF],
        digits[code & 0xF], '_'};
    out.append(buffer, 7);
}

void appendUtf8(QByteArray &out, char32_t code)
{
    char buffer[4];
    int n = 0;
    if (code < 0x80) {
        buffer[n++] = char(code);
    } else if (code < 0x800) {
        buffer[n++] = char(0xC0 | (code >> 6));
        buffer[n++] = char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        buffer[n++] = char(0xE0 | (code >> 12));
        buffer[n++] = char(0x80 | ((code >> 6) & 0x3F));
        buffer[n++] = char(0x80 | (code & 0x3F));
    } else {
        buffer[n++] = char(0xF0 | (code >> 18));
        buffer[n++] = char(0x80 | ((code >> 12) & 0x3F));
        buffer[n++] = char(0x80 | ((code >> 6) & 0x3F));
        buffer[n++] = char(0x80 | (code & 0x3F));
    }
    out.append(buffer, n);
}

bool needsEscaping(char16_t u)
{
    return u >= 0x80 || u < 0x20 || u == u'&' || u == u'<' || u == u'>' || u == u'"' || u == u'_';
}

// The ASCII from i on that needs no escaping, in pieces of a buffer's size;
// returns the index of the first character that needs escaping, or n.
qsizetype appendAsciiRun(QByteArray &out, const char16_t *s, qsizetype i, qsizetype n)
{
    qsizetype j = i;
    while (j < n && !needsEscaping(s[j]))
        ++j;
    char buffer[256];
    while (i < j) {
        const qsizetype chunk = qMin<qsizetype>(j - i, qsizetype(sizeof buffer));
        for (qsizetype k = 0; k < chunk; ++k)
            buffer[k] = char(s[i + k]);
        out.append(buffer, chunk);
        i += chunk;
    }
    return j;
}

// The character at i when XML gives it a meaning (& < > ") or it may start an
// escape (_); false for any other character.
bool appendMarkup(QByteArray &out, QStringView text, qsizetype i, Mode mode)
{
    switch (text[i].unicode()) {
    case u'&':
        out.append("&amp;", 5);
        return true;
    case u'<':
        out.append("&lt;", 4);
        return true;
    case u'>':
        out.append("&gt;", 4);
        return true;
    case u'"':
        if (mode == Mode::Attribute)
            out.append("&quot;", 6);
        else
            out.append('"');
        return true;
    case u'_':
        if (mode == Mode::CellText && isEscapeAt(text, i))
            out.append("_x005F_", 7);
        else
            out.append('_');
        return true;
    default:
        return false;
    }
}

// A control character: tab and line breaks as such or as references, the
// others in the escape form of a cell text or left out.
void appendControl(QByteArray &out, char16_t u, Mode mode)
{
    if (u == u'\t' || u == u'\n') {
        if (mode == Mode::Attribute)
            out.append(u == u'\t' ? "&#9;" : "&#10;");
        else
            out.append(char(u));
    } else if (u == u'\r' && (mode == Mode::Attribute || mode == Mode::Plain)) {
        out.append("&#13;", 5);
    } else if (mode == Mode::CellText) {
        appendEscapeForm(out, u);
    }
}

// The character from i on (a surrogate pair is one) as UTF-8; returns the
// index behind it. The non-characters U+FFFE and U+FFFF are escaped in a cell
// text and left out elsewhere.
qsizetype appendCodePoint(QByteArray &out, const char16_t *s, qsizetype i, qsizetype n, Mode mode)
{
    const char16_t u = s[i];
    char32_t code = u;
    if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
        code = QChar::surrogateToUcs4(u, s[i + 1]);
        ++i;
    } else if (QChar::isSurrogate(u)) {
        code = 0xFFFD;
    }
    if (code != 0xFFFE && code != 0xFFFF)
        appendUtf8(out, code);
    else if (mode == Mode::CellText)
        appendEscapeForm(out, code);
    return i + 1;
}

void append(QByteArray &out, QStringView text, Mode mode)
{
    const qsizetype n = text.size();
    const char16_t *s = reinterpret_cast<const char16_t *>(text.data());
    qsizetype i = appendAsciiRun(out, s, 0, n);
    while (i < n) {
        if (appendMarkup(out, text, i, mode)) {
            ++i;
        } else if (s[i] < 0x20) {
            appendControl(out, s[i], mode);
            ++i;
        } else {
            i = appendCodePoint(out, s, i, n, mode);
        }
        i = appendAsciiRun(out, s, i, n);
    }
}

} // namespace

namespace XmlText {

void appendCellText(QByteArray &out, QStringView text)
{
    append(out, text, Mode::CellText);
}

void appendAttribute(QByteArray &out, QStringView text)
{
    append(out, text, Mode::Attribute);
}

void appendNamedAttribute(QByteArray &out, const char *name, QStringView value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendAttribute(out, value);
    out += '"';
}

void appendPlain(QByteArray &out, QStringView text)
{
    append(out, text, Mode::Plain);
}

QString decodeCellText(QStringView text)
{
    if (!text.contains(QLatin1String("_x")))
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (isEscapeAt(text, i)) {
            const char16_t code = char16_t(hexValue(text[i + 2].unicode()) << 12 | hexValue(text[i + 3].unicode()) << 8
                | hexValue(text[i + 4].unicode()) << 4 | hexValue(text[i + 5].unicode()));
            out += QChar(code);
            i += 7;
            continue;
        }
        out += text[i];
        ++i;
    }
    return out;
}

bool needsSpacePreserve(QStringView text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    const QChar last = text.back();
    return first.isSpace() || last.isSpace() || text.contains(QLatin1Char('\n'));
}

} // namespace XmlText

} // namespace tannbuch
