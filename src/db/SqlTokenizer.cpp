#include "SqlTokenizer.h"

namespace tannbuch {

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
qsizetype quotedEnd(QStringView s, qsizetype open, QChar close, bool &unterminated)
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

// End of a block comment that starts at `open`. Block comments nest in the
// SQL Server dialect. Sets unterminated when the text ends first.
qsizetype blockCommentEnd(QStringView s, qsizetype open, bool &unterminated)
{
    const qsizetype n = s.size();
    int depth = 1;
    qsizetype end = open + 2;
    while (end < n && depth > 0) {
        if (s[end] == u'/' && end + 1 < n && s[end + 1] == u'*') {
            ++depth;
            end += 2;
        } else if (s[end] == u'*' && end + 1 < n && s[end + 1] == u'/') {
            --depth;
            end += 2;
        } else {
            ++end;
        }
    }
    unterminated = depth > 0;
    return end;
}

// End of a number that starts at `start` with a digit or with ".digit":
// digits, a fraction, an exponent only when digits follow its "e".
qsizetype numberEnd(QStringView s, qsizetype start)
{
    const qsizetype n = s.size();
    qsizetype end = start + 1;
    while (end < n && isDigit(s[end]))
        ++end;
    if (s[start] != u'.' && end < n && s[end] == u'.') {
        ++end;
        while (end < n && isDigit(s[end]))
            ++end;
    }
    if (end < n && (s[end] == u'e' || s[end] == u'E')) {
        qsizetype e = end + 1;
        if (e < n && (s[e] == u'+' || s[e] == u'-'))
            ++e;
        if (e < n && isDigit(s[e])) {
            end = e;
            while (end < n && isDigit(s[end]))
                ++end;
        }
    }
    return end;
}

// End of an operator or punctuation: two characters for the comparison and
// concatenation pairs, else one.
qsizetype symbolEnd(QStringView s, qsizetype start)
{
    static const QStringView pairs[] = {u"<>", u"!=", u"<=", u">=", u"!<", u"!>", u"||"};
    const QStringView two = s.mid(start, 2);
    for (const QStringView p : pairs) {
        if (two == p)
            return start + 2;
    }
    return start + 1;
}

// End of the run of characters from `start` on that `belongs` accepts.
template <typename Predicate> qsizetype runEnd(QStringView s, qsizetype start, Predicate belongs)
{
    qsizetype end = start;
    while (end < s.size() && belongs(s[end]))
        ++end;
    return end;
}

} // namespace

SqlTokenizer::TokenView SqlTokenizer::tokenAt(QStringView sql, qsizetype i)
{
    qsizetype end = i;
    const QChar c = sql[i];
    const QChar next = i + 1 < sql.size() ? sql[i + 1] : QChar();
    Kind kind = Kind::Symbol;
    bool unterminated = false;
    if (c.isSpace()) {
        kind = Kind::Whitespace;
        end = runEnd(sql, i + 1, [](QChar x) { return x.isSpace(); });
    } else if (c == u'-' && next == u'-') {
        kind = Kind::Comment;
        end = runEnd(sql, i + 1, [](QChar x) { return x != u'\n' && x != u'\r'; });
    } else if (c == u'/' && next == u'*') {
        kind = Kind::Comment;
        end = blockCommentEnd(sql, i, unterminated);
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
        end = numberEnd(sql, i);
    } else if (isWordStart(c)) {
        kind = Kind::Word;
        end = runEnd(sql, i + 1, isWordPart);
    } else {
        end = symbolEnd(sql, i);
    }
    return TokenView{kind, sql.mid(i, end - i), unterminated};
}

std::vector<SqlTokenizer::Token> SqlTokenizer::tokenize(const QString &sql)
{
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < sql.size();) {
        const TokenView token = tokenAt(sql, i);
        tokens.push_back(Token{token.kind, token.text.toString(), token.unterminated});
        i += token.text.size();
    }
    return tokens;
}

} // namespace tannbuch
