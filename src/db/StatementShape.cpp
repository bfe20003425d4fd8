#include "StatementShape.h"

#include <array>

namespace tannbuch {

namespace {

enum class Kind { Space, Text, Name, Number, Word, Symbol, Broken };

struct Token
{
    Kind kind = Kind::Broken;
    qsizetype start = 0;
    qsizetype end = 0;
};

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// End of a run quoted with `close` from the opening mark at `open` on (a
// doubled mark stands for one); -1 when the text ends first.
qsizetype quotedEnd(QStringView s, qsizetype open, QChar close)
{
    for (qsizetype i = open + 1; i < s.size(); ++i) {
        if (s[i] != close)
            continue;
        if (i + 1 < s.size() && s[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

// End of a block comment (they nest in the SQL Server dialect); -1 when the
// text ends first.
qsizetype blockCommentEnd(QStringView s, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i + 1 < s.size(); ++i) {
        if (s[i] == u'/' && s[i + 1] == u'*') {
            ++depth;
            ++i;
        } else if (s[i] == u'*' && s[i + 1] == u'/') {
            ++i;
            if (--depth == 0)
                return i + 1;
        }
    }
    return -1;
}

// End of a number: digits, a fraction, an exponent only with digits after it.
qsizetype numberEnd(QStringView s, qsizetype i)
{
    const auto digits = [&](qsizetype j) {
        while (j < s.size() && isDigit(s[j]))
            ++j;
        return j;
    };
    i = digits(i + 1);
    if (i < s.size() && s[i] == u'.')
        i = digits(i + 1);
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype e = i + 1;
        if (e < s.size() && (s[e] == u'+' || s[e] == u'-'))
            ++e;
        if (e < s.size() && isDigit(s[e]))
            i = digits(e);
    }
    return i;
}

// The token starting at `i`, split as SqlDialect's tokenizer splits it;
// blanks and comments are one kind, and an unterminated literal, name or
// comment is Broken.
Token tokenAt(QStringView s, qsizetype i)
{
    const QChar c = s[i];
    const QChar next = i + 1 < s.size() ? s[i + 1] : QChar();
    const auto token = [&](Kind kind, qsizetype end) { return end < 0 ? Token{} : Token{kind, i, end}; };
    qsizetype end = i + 1;
    if (c.isSpace()) {
        while (end < s.size() && s[end].isSpace())
            ++end;
        return token(Kind::Space, end);
    }
    if (c == u'-' && next == u'-') {
        while (end < s.size() && s[end] != u'\n' && s[end] != u'\r')
            ++end;
        return token(Kind::Space, end);
    }
    if (c == u'/' && next == u'*')
        return token(Kind::Space, blockCommentEnd(s, i));
    if (c == u'\'')
        return token(Kind::Text, quotedEnd(s, i, u'\''));
    if ((c == u'N' || c == u'n') && next == u'\'')
        return token(Kind::Text, quotedEnd(s, i + 1, u'\''));
    if (c == u'[')
        return token(Kind::Name, quotedEnd(s, i, u']'));
    if (c == u'"')
        return token(Kind::Name, quotedEnd(s, i, u'"'));
    if (isDigit(c) || (c == u'.' && isDigit(next)))
        return token(Kind::Number, numberEnd(s, i));
    if (isWordStart(c)) {
        while (end < s.size() && isWordPart(s[end]))
            ++end;
        return token(Kind::Word, end);
    }
    // Most symbols are one character (the commas of a long id list).
    const bool pair = (c == u'<' && (next == u'>' || next == u'=')) || (c == u'>' && next == u'=')
        || (c == u'!' && (next == u'=' || next == u'<' || next == u'>')) || (c == u'|' && next == u'|');
    return token(Kind::Symbol, pair ? i + 2 : i + 1);
}

// Where the ")" of a list of plain whole numbers that starts at `i` stands
// (a provision's thousands of record ids after IN); -1 when the text there is
// something else.
qsizetype numberListEnd(QStringView s, qsizetype i)
{
    const auto spaces = [&](qsizetype j) {
        while (j < s.size() && s[j].isSpace())
            ++j;
        return j;
    };
    for (i = spaces(i); i < s.size(); i = spaces(i + 1)) {
        const qsizetype start = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == start)
            return -1;
        i = spaces(i);
        if (i < s.size() && s[i] == u')')
            return i;
        if (i >= s.size() || s[i] != u',')
            return -1;
    }
    return -1;
}

// Whether the word is one of the keywords (letter case ignored); the
// lengths are compared first, as nearly every word is none of them.
bool wordIn(QStringView word, std::initializer_list<QStringView> words)
{
    for (const QStringView w : words) {
        if (word.size() == w.size() && word.compare(w, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

namespace {

// What the words at one bracket depth are part of.
enum class Clause { SelectList, Filter, Other };

struct Level
{
    Clause clause = Clause::Other;
    // An outer depth is a select list: the text here names a result column.
    bool inResultColumn = false;
};

// Binding many values gains nothing over a fresh statement.
constexpr size_t MaxValues = 99;

// Walks the tokens once, following the clause at every bracket depth, and
// notes the numbers that may be bound.
class ShapeScanner
{
public:
    explicit ShapeScanner(const QString &sql)
        : m_sql(sql)
    { }

    // False when the statement keeps all its numbers.
    bool scan();
    StatementShape shape() const;

private:
    bool take(const Token &t);
    void enterClause(const Token &word);
    bool mayBind(const Token &number) const;
    bool comparisonBefore() const;
    bool endsComparison(const Token &t) const;

    QStringView text(const Token &t) const { return QStringView(m_sql).mid(t.start, t.end - t.start); }
    bool isSymbol(const Token *t, char16_t symbol) const
    {
        return t && t->kind == Kind::Symbol && t->end == t->start + 1 && m_sql[t->start] == symbol;
    }
    bool isWordIn(const Token *t, std::initializer_list<QStringView> words) const
    {
        return t && t->kind == Kind::Word && wordIn(text(*t), words);
    }
    bool isColumnName(const Token *t) const;
    // The significant token `back` places before the current one (1: the last).
    const Token *recent(int back) const
    {
        return back <= m_count && back <= int(m_recent.size()) ? &m_recent[size_t(m_count - back) % m_recent.size()]
                                                               : nullptr;
    }

    const QString &m_sql;
    std::vector<Level> m_levels{Level{}};
    std::array<Token, 8> m_recent{};
    int m_count = 0;
    Token m_pending; // a number waiting for the token after it
    bool m_hasPending = false;
    std::vector<Token> m_bound;
};

bool ShapeScanner::scan()
{
    const QStringView s(m_sql);
    for (qsizetype i = 0; i < s.size();) {
        const Token t = tokenAt(s, i);
        if (t.kind == Kind::Broken)
            return false;
        i = t.end;
        if (t.kind == Kind::Space)
            continue;
        if (m_count == 0 && !isWordIn(&t, {u"SELECT"}))
            return false;
        if (!take(t))
            return false;
        // None of a list's numbers is bound: pass over it at once.
        if (isSymbol(&t, u'(') && isWordIn(recent(2), {u"IN"})) {
            const qsizetype close = numberListEnd(s, i);
            if (close > 0)
                i = close;
        }
    }
    if (m_levels.size() != 1)
        return false;
    if (m_hasPending)
        m_bound.push_back(m_pending);
    return !m_bound.empty();
}

bool ShapeScanner::take(const Token &t)
{
    if (m_hasPending && endsComparison(t))
        m_bound.push_back(m_pending);
    m_hasPending = false;
    if (t.kind == Kind::Symbol) {
        const QChar symbol = m_sql[t.start];
        // SQLite would read these as parameters of its own.
        if (symbol == u'?' || symbol == u':' || symbol == u'$')
            return false;
        const Level outer = m_levels.back();
        if (symbol == u'(')
            m_levels.push_back(Level{outer.clause, outer.inResultColumn || outer.clause == Clause::SelectList});
        if (symbol == u')') {
            if (m_levels.size() < 2)
                return false;
            m_levels.pop_back();
        }
    } else if (t.kind == Kind::Word) {
        if (text(t).startsWith(u'@'))
            return false;
        enterClause(t);
    } else if (t.kind == Kind::Number && mayBind(t)) {
        m_pending = t;
        m_hasPending = true;
    }
    m_recent[size_t(m_count) % m_recent.size()] = t;
    ++m_count;
    return true;
}

void ShapeScanner::enterClause(const Token &word)
{
    Level &level = m_levels.back();
    if (isWordIn(&word, {u"SELECT"}))
        level.clause = Clause::SelectList;
    else if (isWordIn(&word, {u"WHERE", u"ON", u"HAVING"}))
        level.clause = Clause::Filter;
    else if (isWordIn(&word,
                 {u"FROM", u"JOIN", u"GROUP", u"ORDER", u"UNION", u"EXCEPT", u"INTERSECT", u"LIMIT", u"OFFSET", u"INTO",
                     u"VALUES", u"SET", u"USING", u"WITH"}))
        level.clause = Clause::Other;
}

bool ShapeScanner::mayBind(const Token &number) const
{
    const QStringView digits = text(number);
    if (digits.size() > 18 || m_bound.size() >= MaxValues)
        return false;
    for (const QChar c : digits) {
        if (!isDigit(c))
            return false;
    }
    const Level &level = m_levels.back();
    return level.clause == Clause::Filter && !level.inResultColumn && comparisonBefore();
}

// "column =" or "table.column =" just before, at the start of a term.
bool ShapeScanner::comparisonBefore() const
{
    if (!isSymbol(recent(1), u'=') || !isColumnName(recent(2)))
        return false;
    int back = 2;
    while (isSymbol(recent(back + 1), u'.') && isColumnName(recent(back + 2)))
        back += 2;
    const Token *before = recent(back + 1);
    return isSymbol(before, u'(') || isWordIn(before, {u"WHERE", u"ON", u"HAVING", u"WHEN", u"AND", u"OR", u"NOT"});
}

bool ShapeScanner::isColumnName(const Token *t) const
{
    if (!t)
        return false;
    if (t->kind == Kind::Name)
        return true;
    return t->kind == Kind::Word
        && !wordIn(text(*t),
            {u"SELECT", u"FROM", u"WHERE", u"ON", u"HAVING", u"WHEN", u"THEN", u"ELSE", u"END", u"CASE", u"AND", u"OR",
                u"NOT", u"IS", u"IN", u"LIKE", u"BETWEEN", u"NULL", u"EXISTS", u"ALL", u"ANY", u"SOME"});
}

bool ShapeScanner::endsComparison(const Token &t) const
{
    return isSymbol(&t, u')')
        || isWordIn(&t,
            {u"AND", u"OR", u"THEN", u"WHERE", u"GROUP", u"ORDER", u"HAVING", u"UNION", u"EXCEPT", u"INTERSECT",
                u"INNER", u"LEFT", u"RIGHT", u"FULL", u"CROSS", u"JOIN"});
}

StatementShape ShapeScanner::shape() const
{
    StatementShape out;
    out.text.reserve(m_sql.size() + qsizetype(m_bound.size()) * 3);
    qsizetype copied = 0;
    for (size_t k = 0; k < m_bound.size(); ++k) {
        const Token &number = m_bound[k];
        out.text += QStringView(m_sql).mid(copied, number.start - copied);
        out.marks.push_back(out.text.size());
        out.text += u'?' + QString::number(k + 1);
        out.values.push_back(text(number).toLongLong());
        copied = number.end;
    }
    out.text += QStringView(m_sql).mid(copied);
    return out;
}

} // namespace

StatementShape StatementShape::of(const QString &sql)
{
    ShapeScanner scanner(sql);
    if (!scanner.scan())
        return StatementShape{sql, {}, {}};
    return scanner.shape();
}

std::optional<std::vector<qint64>> StatementShape::valuesOf(QStringView sql) const
{
    // A bound number never runs on into digits, a fraction or an exponent,
    // so the text after a mark starts with none of them and the longest run
    // of digits is the number.
    std::vector<qint64> found;
    qsizetype at = 0;
    qsizetype from = 0;
    const QStringView shape(text);
    for (size_t k = 0; k <= marks.size(); ++k) {
        const qsizetype until = k < marks.size() ? marks[k] : shape.size();
        const qsizetype length = until - from;
        if (sql.size() - at < length || sql.mid(at, length) != shape.mid(from, length))
            return std::nullopt;
        at += length;
        if (k == marks.size())
            break;
        qint64 value = 0;
        qsizetype digits = 0;
        for (; at < sql.size() && isDigit(sql[at]) && digits <= 18; ++at, ++digits)
            value = value * 10 + (sql[at].unicode() - u'0');
        if (digits == 0 || digits > 18)
            return std::nullopt;
        found.push_back(value);
        from = until + 1 + QString::number(k + 1).size();
    }
    if (at != sql.size())
        return std::nullopt;
    return found;
}

} // namespace tannbuch
