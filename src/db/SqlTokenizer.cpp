#include "SqlTokenizer.h"

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// End of a quoted run that starts at `open` (the opening mark) and ends with
// `close`, where a doubled closing mark stands for one. Sets unterminated
// when the text ends first.
qsizetype quotedEnd(const QString &s, qsizetype open, QChar close, bool &unterminated)
{
    qsizetype i = open + 1;
    const qsizetype n = s.size();
    while (i < n) {
        if (s[i] == close) {
            if (i + 1 < n && s[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    unterminated = true;
    return n;
}

} // namespace

std::vector<SqlTokenizer::Token> SqlTokenizer::tokenize(const QString &sql)
{
    std::vector<Token> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        qsizetype end = i + 1;
        Kind kind = Kind::Symbol;
        bool unterminated = false;

        if (c.isSpace()) {
            kind = Kind::Whitespace;
            while (end < n && sql[end].isSpace())
                ++end;
        } else if (c == u'-' && next == u'-') {
            kind = Kind::Comment;
            while (end < n && sql[end] != u'\n' && sql[end] != u'\r')
                ++end;
        } else if (c == u'/' && next == u'*') {
            // Block comments nest in the SQL Server dialect.
            kind = Kind::Comment;
            int depth = 1;
            end = i + 2;
            while (end < n && depth > 0) {
                if (sql[end] == u'/' && end + 1 < n && sql[end + 1] == u'*') {
                    ++depth;
                    end += 2;
                } else if (sql[end] == u'*' && end + 1 < n && sql[end + 1] == u'/') {
                    --depth;
                    end += 2;
                } else {
                    ++end;
                }
            }
            unterminated = depth > 0;
        } else if (c == u'\'') {
            kind = Kind::String;
            end = quotedEnd(sql, i, u'\'', unterminated);
        } else if ((c == u'N' || c == u'n') && next == u'\'') {
            kind = Kind::String;
            end = quotedEnd(sql, i + 1, u'\'', unterminated);
        } else if (c == u'[') {
            kind = Kind::BracketName;
            end = quotedEnd(sql, i, u']', unterminated);
        } else if (c == u'"') {
            kind = Kind::QuotedName;
            end = quotedEnd(sql, i, u'"', unterminated);
        } else if (isDigit(c) || (c == u'.' && isDigit(next))) {
            kind = Kind::Number;
            while (end < n && isDigit(sql[end]))
                ++end;
            if (c != u'.' && end < n && sql[end] == u'.') {
                ++end;
                while (end < n && isDigit(sql[end]))
                    ++end;
            }
            if (end < n && (sql[end] == u'e' || sql[end] == u'E')) {
                qsizetype e = end + 1;
                if (e < n && (sql[e] == u'+' || sql[e] == u'-'))
                    ++e;
                if (e < n && isDigit(sql[e])) {
                    end = e;
                    while (end < n && isDigit(sql[end]))
                        ++end;
                }
            }
        } else if (isWordStart(c)) {
            kind = Kind::Word;
            while (end < n && isWordPart(sql[end]))
                ++end;
        } else {
            static const QStringView pairs[] = {u"<>", u"!=", u"<=", u">=", u"!<", u"!>", u"||"};
            const QStringView two = QStringView(sql).mid(i, 2);
            for (const QStringView p : pairs) {
                if (two == p) {
                    end = i + 2;
                    break;
                }
            }
        }
        tokens.push_back(Token{kind, sql.mid(i, end - i), unterminated});
        i = end;
    }
    return tokens;
}
