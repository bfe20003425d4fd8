#include "SqlDialect.h"

#include "db/SqlServerFunctions.h"
#include "db/SqlTokenizer.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace tannbuch {

namespace {

using Token = SqlTokenizer::Token;
using Kind = SqlTokenizer::Kind;

// A token, a parenthesised group or a CASE ... END block.
struct Node
{
    enum Type { Leaf, Group, Case };
    Type type = Leaf;
    Token token{Kind::Symbol, {}, false}; // Leaf: the token; Case: the CASE word
    Token close{Kind::Symbol, {}, false}; // Case: the END word
    std::vector<Node> children;
};
using Seq = std::vector<Node>;
using Range = std::pair<int, int>;

// Deeper nesting is left to SQLite (which refuses expressions nested
// more than 1000 deep), so the rewriting recursion stays shallow.
constexpr size_t MaxNesting = 500;

std::optional<Seq> buildTree(const std::vector<Token> &tokens)
{
    std::vector<Node> stack(1);
    stack.front().type = Node::Group;
    for (const Token &t : tokens) {
        if (t.unterminated || stack.size() > MaxNesting)
            return std::nullopt;
        if (t.isSymbol(u"(")) {
            Node n;
            n.type = Node::Group;
            stack.push_back(std::move(n));
        } else if (t.isWord(u"CASE")) {
            Node n;
            n.type = Node::Case;
            n.token = t;
            stack.push_back(std::move(n));
        } else if (t.isSymbol(u")") || (t.isWord(u"END") && stack.back().type == Node::Case)) {
            const Node::Type expected = t.isSymbol(u")") ? Node::Group : Node::Case;
            if (stack.size() < 2 || stack.back().type != expected)
                return std::nullopt;
            Node n = std::move(stack.back());
            stack.pop_back();
            n.close = t;
            stack.back().children.push_back(std::move(n));
        } else {
            Node n;
            n.token = t;
            stack.back().children.push_back(std::move(n));
        }
    }
    if (stack.size() != 1)
        return std::nullopt;
    return std::move(stack.front().children);
}

bool significant(const Node &n)
{
    return n.type != Node::Leaf || n.token.isSignificant();
}

bool isSym(const Node &n, QStringView s)
{
    return n.type == Node::Leaf && n.token.isSymbol(s);
}

bool isWord(const Node &n, QStringView w)
{
    return n.type == Node::Leaf && n.token.isWord(w);
}

int nextSig(const Seq &s, int i, int e)
{
    while (i < e && !significant(s[size_t(i)]))
        ++i;
    return i;
}

bool wordIn(const Node &n, std::initializer_list<QStringView> words)
{
    if (n.type != Node::Leaf || n.token.kind != Kind::Word)
        return false;
    for (const QStringView w : words) {
        if (n.token.text.compare(w, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Words that end an operand: clause keywords and operators spelled as words.
bool isKeyword(const Node &n)
{
    return wordIn(n,
        {u"SELECT", u"FROM", u"WHERE", u"AND", u"OR", u"NOT", u"AS", u"ON", u"JOIN", u"INNER", u"OUTER", u"CROSS",
            u"FULL", u"LEFT", u"RIGHT", u"GROUP", u"ORDER", u"BY", u"HAVING", u"UNION", u"EXCEPT", u"INTERSECT", u"ALL",
            u"ANY", u"SOME", u"DISTINCT", u"TOP", u"PERCENT", u"TIES", u"WHEN", u"THEN", u"ELSE", u"END", u"CASE",
            u"IS", u"IN", u"LIKE", u"BETWEEN", u"ESCAPE", u"EXISTS", u"ASC", u"DESC", u"COLLATE", u"WITH", u"OVER",
            u"PARTITION", u"INTO", u"VALUES", u"SET", u"UPDATE", u"INSERT", u"DELETE", u"CREATE", u"DROP", u"ALTER",
            u"LIMIT", u"OFFSET", u"APPLY", u"PIVOT", u"UNPIVOT", u"FOR", u"OPTION", u"USING", u"NATURAL"});
}

// Functions whose result is always a number.
bool isNumericFunction(const Node &n)
{
    return wordIn(n,
        {u"COUNT", u"COUNT_BIG", u"SUM", u"AVG", u"ROUND", u"SQRT", u"ISNUMERIC", u"ABS", u"LEN", u"DATALENGTH",
            u"CHARINDEX", u"FLOOR", u"CEILING", u"POWER", u"SIGN", u"EXP", u"LOG", u"LOG10", u"SQUARE", u"PI", u"YEAR",
            u"MONTH", u"DAY", u"DATEDIFF", u"DATEPART", u"STDEV", u"VAR"});
}

bool isNumericType(const QString &lowerName)
{
    for (const QStringView t : {u"int", u"bigint", u"smallint", u"tinyint", u"float", u"real", u"decimal", u"numeric",
             u"money", u"smallmoney", u"bit"}) {
        if (lowerName == t)
            return true;
    }
    return false;
}

// A text expression compared, grouped and sorted by the NOCASE collation. In
// parentheses, so that a word right after it ("ISNULL(a,b)AS x") stays apart.
QString withNoCase(const QString &expression)
{
    return u'(' + expression + QStringLiteral(" COLLATE NOCASE)");
}

bool isComparison(const Node &n)
{
    for (const QStringView op : {u"=", u"<>", u"!=", u"<", u">", u"<=", u">=", u"!<", u"!>"}) {
        if (isSym(n, op))
            return true;
    }
    return false;
}

// True when the node at i is an operand of a comparison operator.
bool besideComparison(const Seq &s, int i)
{
    int before = i - 1;
    while (before >= 0 && !significant(s[size_t(before)]))
        --before;
    const int after = nextSig(s, i + 1, int(s.size()));
    return (before >= 0 && isComparison(s[size_t(before)]))
        || (after < int(s.size()) && isComparison(s[size_t(after)]));
}

// The nodes of a group split at its top-level commas.
std::vector<Range> splitArgs(const Seq &s)
{
    std::vector<Range> args;
    int start = 0;
    for (int i = 0; i < int(s.size()); ++i) {
        if (isSym(s[size_t(i)], u",")) {
            args.emplace_back(start, i);
            start = i + 1;
        }
    }
    args.emplace_back(start, int(s.size()));
    return args;
}

// The target type of CAST and CONVERT.
struct TargetType
{
    QString name; // lower case
    qint64 length = 30;
    bool valid = false;
};

TargetType targetType(const Seq &s, int b, int e)
{
    TargetType target;
    const int k = nextSig(s, b, e);
    if (k >= e || s[size_t(k)].type != Node::Leaf || s[size_t(k)].token.kind != Kind::Word)
        return target;
    target.name = s[size_t(k)].token.text.toLower();
    target.valid = true;
    const int g = nextSig(s, k + 1, e);
    if (g < e && s[size_t(g)].type == Node::Group) {
        const Seq &inner = s[size_t(g)].children;
        const int f = nextSig(inner, 0, int(inner.size()));
        if (f < int(inner.size()) && inner[size_t(f)].type == Node::Leaf) {
            const Token &t = inner[size_t(f)].token;
            if (t.isWord(u"MAX"))
                target.length = -1;
            else if (t.kind == Kind::Number)
                target.length = t.text.toLongLong();
        }
    }
    return target;
}

class Emitter
{
public:
    // A whole sequence: TOP moved to LIMIT, then its expressions.
    QString seq(const Seq &s);

private:
    QString range(const Seq &s, int b, int e);
    QString plain(const Seq &s, int b, int e);
    QString leaf(const Token &t);
    QString call(const QString &name, const Seq &args);
    QString conversion(const TargetType &type, const QString &typeText, const QString &expr, const QString &style);

    int parseOperand(const Seq &s, int i, int e) const;
    int parseTerm(const Seq &s, int i, int e) const;
    bool isNumericTerm(const Seq &s, int b, int e) const;
    bool isNumericExpression(const Seq &s, int b, int e) const;
};

QString Emitter::seq(const Seq &s)
{
    const int n = int(s.size());
    int selectIndex = -1;
    int selects = 0;
    bool compound = false;
    for (int i = 0; i < n; ++i) {
        if (isWord(s[size_t(i)], u"SELECT")) {
            ++selects;
            selectIndex = i;
        } else if (wordIn(s[size_t(i)], {u"UNION", u"EXCEPT", u"INTERSECT"})) {
            compound = true;
        }
    }
    if (selects == 1 && !compound) {
        int k = nextSig(s, selectIndex + 1, n);
        if (k < n && wordIn(s[size_t(k)], {u"ALL", u"DISTINCT"}))
            k = nextSig(s, k + 1, n);
        if (k < n && isWord(s[size_t(k)], u"TOP")) {
            const int c = nextSig(s, k + 1, n);
            const bool count = c < n
                && (s[size_t(c)].type == Node::Group
                    || (s[size_t(c)].type == Node::Leaf && s[size_t(c)].token.kind == Kind::Number));
            const int after = count ? nextSig(s, c + 1, n) : n;
            if (count && !(after < n && wordIn(s[size_t(after)], {u"PERCENT", u"WITH"}))) {
                const Node &countNode = s[size_t(c)];
                const QString limit
                    = countNode.type == Node::Group ? u'(' + seq(countNode.children) + u')' : countNode.token.text;
                Seq rest(s.begin(), s.begin() + k);
                rest.insert(rest.end(), s.begin() + c + 1, s.end());
                // LIMIT goes after the last part of the statement, before a closing ';'.
                int last = int(rest.size()) - 1;
                while (last >= 0 && !significant(rest[size_t(last)]))
                    --last;
                if (last >= 0 && isSym(rest[size_t(last)], u";")) {
                    --last;
                    while (last >= 0 && !significant(rest[size_t(last)]))
                        --last;
                }
                const int insertAt = last + 1;
                return range(rest, 0, insertAt) + QStringLiteral(" LIMIT ") + limit
                    + range(rest, insertAt, int(rest.size()));
            }
        }
    }
    return range(s, 0, n);
}

// Emits [b, e), turning additive chains with '+' into their SQLite form.
QString Emitter::range(const Seq &s, int b, int e)
{
    QString out;
    int i = b;
    while (i < e) {
        if (!significant(s[size_t(i)])) {
            out += plain(s, i, i + 1);
            ++i;
            continue;
        }
        const int termEnd = parseTerm(s, i, e);
        if (termEnd < 0) {
            out += plain(s, i, i + 1);
            ++i;
            continue;
        }
        std::vector<Range> terms{{i, termEnd}};
        std::vector<bool> plus;
        int j = termEnd;
        for (;;) {
            const int op = nextSig(s, j, e);
            if (op >= e || !(isSym(s[size_t(op)], u"+") || isSym(s[size_t(op)], u"-")))
                break;
            const int start = nextSig(s, op + 1, e);
            const int end = start < e ? parseTerm(s, start, e) : -1;
            if (end < 0)
                break;
            plus.push_back(isSym(s[size_t(op)], u"+"));
            terms.emplace_back(start, end);
            j = end;
        }
        if (std::find(plus.begin(), plus.end(), true) == plus.end()) {
            out += plain(s, i, j);
            i = j;
            continue;
        }
        QString acc = plain(s, terms[0].first, terms[0].second);
        bool accNumeric = isNumericTerm(s, terms[0].first, terms[0].second);
        bool endsInPlusCall = false;
        for (size_t k = 0; k < plus.size(); ++k) {
            const Range &t = terms[k + 1];
            const QString text = plain(s, t.first, t.second);
            const bool termNumeric = isNumericTerm(s, t.first, t.second);
            endsInPlusCall = false;
            if (!plus[k]) {
                acc += QStringLiteral(" - ") + text;
                accNumeric = true;
            } else if (accNumeric || termNumeric) {
                acc += QStringLiteral(" + ") + text;
                accNumeric = true;
            } else {
                acc = QStringLiteral("tb_plus(") + acc + QStringLiteral(", ") + text + u')';
                endsInPlusCall = true;
            }
        }
        if (endsInPlusCall)
            acc = withNoCase(acc);
        out += acc;
        i = j;
    }
    return out;
}

// Emits [b, e) node by node, rewriting the SQL Server functions.
QString Emitter::plain(const Seq &s, int b, int e)
{
    QString out;
    bool afterDot = false;
    for (int i = b; i < e; ++i) {
        const Node &n = s[size_t(i)];
        if (n.type == Node::Group) {
            out += u'(' + seq(n.children) + u')';
            afterDot = false;
            continue;
        }
        if (n.type == Node::Case) {
            out += n.token.text + seq(n.children) + n.close.text;
            afterDot = false;
            continue;
        }
        if (!afterDot && wordIn(n, {u"ISNULL", u"LEFT", u"RIGHT", u"ISNUMERIC", u"CAST", u"CONVERT"})) {
            const int g = nextSig(s, i + 1, e);
            if (g < e && s[size_t(g)].type == Node::Group) {
                out += call(n.token.text, s[size_t(g)].children);
                i = g;
                continue;
            }
        }
        if (significant(n))
            afterDot = isSym(n, u".");
        if (n.token.kind == Kind::String && besideComparison(s, i))
            out += withNoCase(leaf(n.token));
        else
            out += leaf(n.token);
    }
    return out;
}

QString Emitter::leaf(const Token &t)
{
    switch (t.kind) {
    case Kind::Comment:
        return QStringLiteral(" ");
    case Kind::String:
        return t.text.startsWith(u'\'') ? t.text : t.text.mid(1);
    case Kind::BracketName:
        if (t.text.contains(QStringLiteral("]]"))) {
            QString inner = t.text.mid(1, t.text.size() - 2);
            inner.replace(QStringLiteral("]]"), QStringLiteral("]"));
            inner.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            return u'"' + inner + u'"';
        }
        return t.text;
    case Kind::Symbol:
        if (t.text == u"!<")
            return QStringLiteral(">=");
        if (t.text == u"!>")
            return QStringLiteral("<=");
        return t.text;
    default:
        return t.text;
    }
}

QString Emitter::call(const QString &name, const Seq &args)
{
    const std::vector<Range> parts = splitArgs(args);
    auto joined = [&] {
        QStringList texts;
        for (const Range &r : parts)
            texts << range(args, r.first, r.second);
        return texts.join(u',');
    };
    auto is = [&](QStringView w) { return name.compare(w, Qt::CaseInsensitive) == 0; };
    if (is(u"ISNULL"))
        return withNoCase(QStringLiteral("ifnull(") + joined() + u')');
    if (is(u"LEFT"))
        return withNoCase(QStringLiteral("tb_left(") + joined() + u')');
    if (is(u"RIGHT"))
        return withNoCase(QStringLiteral("tb_right(") + joined() + u')');
    if (is(u"ISNUMERIC"))
        return QStringLiteral("tb_isnumeric(") + joined() + u')';

    const int n = int(args.size());
    if (is(u"CAST")) {
        int as = -1;
        for (int i = 0; i < n; ++i) {
            if (isWord(args[size_t(i)], u"AS"))
                as = i;
        }
        const TargetType type = as >= 0 ? targetType(args, as + 1, n) : TargetType{};
        if (!type.valid)
            return name + u'(' + seq(args) + u')';
        return conversion(type, plain(args, as + 1, n).trimmed(), range(args, 0, as).trimmed(), QStringLiteral("0"));
    }
    // CONVERT(type, expression[, style])
    const TargetType type = parts.size() >= 2 ? targetType(args, parts[0].first, parts[0].second) : TargetType{};
    if (!type.valid || parts.size() > 3)
        return name + u'(' + seq(args) + u')';
    const QString style
        = parts.size() == 3 ? range(args, parts[2].first, parts[2].second).trimmed() : QStringLiteral("0");
    return conversion(type, plain(args, parts[0].first, parts[0].second).trimmed(),
        range(args, parts[1].first, parts[1].second).trimmed(), style);
}

QString Emitter::conversion(const TargetType &type, const QString &typeText, const QString &expr, const QString &style)
{
    const QString &t = type.name;
    if (t == u"varchar" || t == u"nvarchar" || t == u"char" || t == u"nchar" || t == u"text" || t == u"ntext") {
        const bool pad = t == u"char" || t == u"nchar";
        const qint64 length = (t == u"text" || t == u"ntext") ? -1 : type.length;
        return withNoCase(
            QStringLiteral("tb_text(%1, %2, %3, %4)")
                .arg(expr, QString::number(length), pad ? QStringLiteral("1") : QStringLiteral("0"), style));
    }
    int kind = -1;
    if (t == u"smalldatetime")
        kind = SqlServerFunctions::SmallDateTimeCode;
    else if (t == u"datetime" || t == u"datetime2")
        kind = SqlServerFunctions::DateTimeCode;
    else if (t == u"date")
        kind = SqlServerFunctions::DateCode;
    if (kind >= 0)
        return QStringLiteral("tb_datetime(%1, %2, %3)").arg(expr, style, QString::number(kind));
    return QStringLiteral("CAST(%1 AS %2)").arg(expr, typeText);
}

// An operand: optional unary signs, then a literal, a (dotted) name, a
// function call, a parenthesised group or a CASE block. Returns the index
// after it, or -1.
int Emitter::parseOperand(const Seq &s, int i, int e) const
{
    int k = i;
    while (k < e && (isSym(s[size_t(k)], u"-") || isSym(s[size_t(k)], u"+") || isSym(s[size_t(k)], u"~")))
        k = nextSig(s, k + 1, e);
    if (k >= e)
        return -1;
    const Node &n = s[size_t(k)];
    if (n.type != Node::Leaf)
        return k + 1;
    switch (n.token.kind) {
    case Kind::String:
    case Kind::Number:
        return k + 1;
    case Kind::Word:
        if (isKeyword(n)) {
            const bool functionWord = wordIn(n, {u"LEFT", u"RIGHT"});
            const int g = nextSig(s, k + 1, e);
            if (!(functionWord && g < e && s[size_t(g)].type == Node::Group))
                return -1;
        }
        break;
    case Kind::BracketName:
    case Kind::QuotedName:
        break;
    default:
        return -1;
    }
    int end = k + 1;
    for (;;) {
        const int dot = nextSig(s, end, e);
        if (dot >= e || !isSym(s[size_t(dot)], u"."))
            break;
        const int part = nextSig(s, dot + 1, e);
        if (part >= e || s[size_t(part)].type != Node::Leaf)
            break;
        const Kind pk = s[size_t(part)].token.kind;
        if (pk != Kind::Word && pk != Kind::BracketName && pk != Kind::QuotedName && !isSym(s[size_t(part)], u"*"))
            break;
        end = part + 1;
    }
    const Node &last = s[size_t(end - 1)];
    const int g = nextSig(s, end, e);
    if (last.token.kind == Kind::Word && g < e && s[size_t(g)].type == Node::Group)
        end = g + 1;
    return end;
}

// Operands joined by * / %.
int Emitter::parseTerm(const Seq &s, int i, int e) const
{
    int end = parseOperand(s, i, e);
    if (end < 0)
        return -1;
    for (;;) {
        const int op = nextSig(s, end, e);
        if (op >= e || !(isSym(s[size_t(op)], u"*") || isSym(s[size_t(op)], u"/") || isSym(s[size_t(op)], u"%")))
            break;
        const int next = parseOperand(s, nextSig(s, op + 1, e), e);
        if (next < 0)
            break;
        end = next;
    }
    return end;
}

bool Emitter::isNumericTerm(const Seq &s, int b, int e) const
{
    const int first = nextSig(s, b, e);
    const int operandEnd = parseOperand(s, first, e);
    if (operandEnd < 0)
        return false;
    if (nextSig(s, operandEnd, e) < e)
        return true; // more than one operand: * / % make a number
    int k = first;
    if (k < e && (isSym(s[size_t(k)], u"-") || isSym(s[size_t(k)], u"~")))
        return true;
    while (k < e && isSym(s[size_t(k)], u"+"))
        k = nextSig(s, k + 1, e);
    if (k >= e)
        return false;
    const Node &n = s[size_t(k)];
    if (n.type == Node::Group)
        return isNumericExpression(n.children, 0, int(n.children.size()));
    if (n.type != Node::Leaf)
        return false;
    if (n.token.kind == Kind::Number)
        return true;
    const int g = nextSig(s, k + 1, e);
    if (g >= e || s[size_t(g)].type != Node::Group)
        return false;
    if (isNumericFunction(n))
        return true;
    const Seq &args = s[size_t(g)].children;
    if (isWord(n, u"CAST")) {
        for (int i = 0; i < int(args.size()); ++i) {
            if (isWord(args[size_t(i)], u"AS"))
                return isNumericType(targetType(args, i + 1, int(args.size())).name);
        }
    }
    if (isWord(n, u"CONVERT")) {
        const std::vector<Range> parts = splitArgs(args);
        return isNumericType(targetType(args, parts[0].first, parts[0].second).name);
    }
    return false;
}

// A whole expression is numeric when it is one numeric term, or a chain that
// subtracts or has a numeric term.
bool Emitter::isNumericExpression(const Seq &s, int b, int e) const
{
    int i = nextSig(s, b, e);
    bool numeric = false;
    for (;;) {
        const int end = parseTerm(s, i, e);
        if (end < 0)
            return false;
        numeric = numeric || isNumericTerm(s, i, end);
        const int op = nextSig(s, end, e);
        if (op >= e)
            return numeric;
        if (isSym(s[size_t(op)], u"-"))
            numeric = true;
        else if (!isSym(s[size_t(op)], u"+"))
            return false;
        i = nextSig(s, op + 1, e);
    }
}

} // namespace

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Where the quoted text, bracketed identifier or comment starting at i ends
// (the index after it); i itself when nothing of the kind starts there.
qsizetype skipQuoted(QStringView sql, qsizetype i)
{
    const qsizetype n = sql.size();
    const QChar c = sql[i];
    if (c == u'\'' || c == u'"' || c == u'[') {
        const QChar close = c == u'[' ? u']' : c;
        for (qsizetype j = i + 1; j < n; ++j) {
            if (sql[j] != close)
                continue;
            if (j + 1 < n && sql[j + 1] == close) { // doubled: part of the text
                ++j;
                continue;
            }
            return j + 1;
        }
        return n;
    }
    if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
        const qsizetype end = sql.indexOf(u'\n', i);
        return end < 0 ? n : end;
    }
    if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
        const qsizetype end = sql.indexOf(u"*/", i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}

// Where the subquery that starts at `first`, inside brackets, ends: at its
// closing bracket, blanks before it left out; -1 when the text ends first.
qsizetype subqueryEnd(QStringView sql, qsizetype first)
{
    int depth = 1;
    for (qsizetype i = first; i < sql.size();) {
        const qsizetype after = skipQuoted(sql, i);
        if (after != i) {
            i = after;
            continue;
        }
        if (sql[i] == u'(') {
            ++depth;
        } else if (sql[i] == u')' && --depth == 0) {
            while (i > first && sql[i - 1].isSpace())
                --i;
            return i;
        }
        ++i;
    }
    return -1;
}

// Whether a word SELECT starts at i.
bool selectAt(QStringView sql, qsizetype i)
{
    return sql.mid(i, 6).compare(u"SELECT", Qt::CaseInsensitive) == 0
        && (i + 6 >= sql.size() || !isWordChar(sql[i + 6]));
}

// What may stand aside after "IN (" when the word IN starts at i: a known
// list or subquery, a list of at least 16 plain numbers ("IN ( n, n, ... )"),
// or a subquery that `setAsideSubquery` accepts. Gives its first and one
// past its last character.
std::optional<std::pair<qsizetype, qsizetype>> numberListAt(QStringView sql, qsizetype i, const QStringList &knownLists,
    qsizetype *known, const std::function<bool(QStringView)> &setAsideSubquery)
{
    const qsizetype n = sql.size();
    auto skipSpace = [&](qsizetype j) {
        while (j < n && sql[j].isSpace())
            ++j;
        return j;
    };
    auto skipDigits = [&](qsizetype j) {
        while (j < n && isAsciiDigit(sql[j]))
            ++j;
        return j;
    };
    qsizetype j = skipSpace(i + 2);
    if (j >= n || sql[j] != u'(')
        return std::nullopt;
    j = skipSpace(j + 1);
    const qsizetype first = j;
    for (qsizetype k = 0; k < knownLists.size(); ++k) {
        const QStringView list(knownLists[k]);
        const qsizetype end = first + list.size();
        if (end <= n && sql.mid(first, list.size()) == list) {
            const qsizetype close = skipSpace(end);
            if (close < n && sql[close] == u')') {
                *known = k;
                return std::make_pair(first, end);
            }
        }
    }
    if (setAsideSubquery && selectAt(sql, first)) {
        const qsizetype end = subqueryEnd(sql, first);
        if (end > first && setAsideSubquery(sql.mid(first, end - first)))
            return std::make_pair(first, end);
        return std::nullopt;
    }
    qsizetype last = skipDigits(j);
    if (last == j)
        return std::nullopt;
    int count = 1;
    for (j = last;;) {
        const qsizetype comma = skipSpace(j);
        if (comma >= n || sql[comma] != u',')
            break;
        const qsizetype digits = skipSpace(comma + 1);
        const qsizetype end = skipDigits(digits);
        if (end == digits)
            return std::nullopt; // something else in the list
        last = j = end;
        ++count;
    }
    j = skipSpace(j);
    if (j >= n || sql[j] != u')' || count < 16)
        return std::nullopt;
    return std::make_pair(first, last);
}

} // namespace

namespace {

// Opens and closes a literal's mark: a character no statement holds.
constexpr QChar LiteralMark(u'\x01');

} // namespace

std::optional<MarkedLiterals> MarkedLiterals::of(const QString &sql)
{
    if (sql.contains(LiteralMark))
        return std::nullopt;
    MarkedLiterals marked;
    marked.sql.reserve(sql.size());
    for (qsizetype at = 0; at < sql.size();) {
        const SqlTokenizer::TokenView token = SqlTokenizer::tokenAt(sql, at);
        if (token.unterminated || token.text.isEmpty())
            return std::nullopt;
        at += token.text.size();
        if (token.kind != Kind::String) {
            marked.sql += token.text;
            continue;
        }
        // N'..' keeps its N, so the rewrite takes it away as it would.
        const bool national = !token.text.startsWith(u'\'');
        marked.sql += token.text.first(national ? 1 : 0);
        marked.sql += u'\'' + LiteralMark + QString::number(marked.literals.size()) + LiteralMark + u'\'';
        marked.literals << token.text.sliced(national ? 1 : 0).toString();
    }
    if (marked.literals.isEmpty())
        return std::nullopt;
    return marked;
}

std::optional<QString> MarkedLiterals::restoredIn(const QString &rewritten) const
{
    const QString open = u'\'' + LiteralMark;
    std::vector<bool> used(size_t(literals.size()), false);
    QString out;
    out.reserve(rewritten.size() + literals.join(QString()).size());
    qsizetype copied = 0;
    for (qsizetype at = rewritten.indexOf(open); at >= 0; at = rewritten.indexOf(open, copied)) {
        const qsizetype close = rewritten.indexOf(LiteralMark, at + 2);
        if (close < 0 || close + 1 >= rewritten.size() || rewritten[close + 1] != u'\'')
            return std::nullopt;
        bool ok = false;
        const qsizetype k = QStringView(rewritten).sliced(at + 2, close - at - 2).toLongLong(&ok);
        if (!ok || k < 0 || k >= literals.size() || used[size_t(k)])
            return std::nullopt;
        used[size_t(k)] = true;
        out += QStringView(rewritten).sliced(copied, at - copied);
        out += literals.at(k);
        copied = close + 2;
    }
    if (std::find(used.begin(), used.end(), false) != used.end())
        return std::nullopt;
    out += QStringView(rewritten).sliced(copied);
    return out;
}

QString SetAsideLists::placeholder(qsizetype index)
{
    return QStringLiteral("8271828182845904523") + QString::number(index);
}

SetAsideLists SqlDialect::setAsideNumberLists(const QString &sql, const QStringList &knownLists,
    const std::function<bool(QStringView subquery)> &setAsideSubquery)
{
    SetAsideLists out;
    if (sql.size() < 200)
        return {sql, {}};
    const QStringView text(sql);
    qsizetype copied = 0;
    for (qsizetype i = 0; i + 1 < text.size();) {
        // Only a quote, a comment or the word IN starts anything here: the
        // other characters are passed over at once.
        const char16_t c = text[i].unicode();
        if (c != u'I' && c != u'i' && c != u'\'' && c != u'"' && c != u'[' && c != u'-' && c != u'/') {
            ++i;
            continue;
        }
        const qsizetype after = skipQuoted(text, i);
        if (after != i) {
            i = after;
            continue;
        }
        const bool word = (text[i] == u'I' || text[i] == u'i') && (text[i + 1] == u'N' || text[i + 1] == u'n')
            && (i == 0 || !isWordChar(text[i - 1])) && (i + 2 >= text.size() || !isWordChar(text[i + 2]));
        qsizetype known = -1;
        const auto list = word ? numberListAt(text, i, knownLists, &known, setAsideSubquery) : std::nullopt;
        if (!list) {
            ++i;
            continue;
        }
        out.sql += text.mid(copied, list->first - copied);
        out.sql += SetAsideLists::placeholder(out.lists.size());
        // A known list is shared, not copied.
        out.lists << (known >= 0 ? knownLists[known] : sql.mid(list->first, list->second - list->first));
        copied = i = list->second;
    }
    out.sql += text.mid(copied);
    // A statement that holds the placeholder's digits itself is left whole
    // (checked on the short text without the lists).
    if (!out.lists.isEmpty() && out.sql.count(SetAsideLists::placeholder(0).left(19)) != out.lists.size())
        return {sql, {}};
    return out;
}

namespace {

// "table.column [NOT] IN (list)" where the list at `at` is answered by a
// subquery: a unary plus goes before the column. SQLite assumes such a
// subquery to give a few rows and would fetch each of them by the column's
// index, where a provision's list holds thousands of ids; without that
// choice it takes an index that finds the few records asked for (a pile's, a
// lot's) and tests those against the list. The plus changes no value.
void keepFromIndex(QString &text, qsizetype at)
{
    if (at < 0)
        return;
    auto skipBackSpace = [&](qsizetype j) {
        while (j >= 0 && text[j].isSpace())
            --j;
        return j;
    };
    auto wordBefore = [&](qsizetype end) { // start of the word ending at end
        qsizetype j = end;
        while (j >= 0 && isWordChar(text[j]))
            --j;
        return j + 1;
    };
    qsizetype j = skipBackSpace(at - 1);
    if (j < 0 || text[j] != u'(')
        return;
    j = skipBackSpace(j - 1);
    qsizetype start = wordBefore(j);
    if (QStringView(text).mid(start, j + 1 - start).compare(u"IN", Qt::CaseInsensitive) != 0)
        return;
    j = skipBackSpace(start - 1);
    start = wordBefore(j);
    if (QStringView(text).mid(start, j + 1 - start).compare(u"NOT", Qt::CaseInsensitive) == 0)
        j = skipBackSpace(start - 1);
    // Plain words joined by one dot: a column named with its table.
    const qsizetype columnStart = wordBefore(j);
    if (columnStart > j || columnStart < 2 || text[columnStart - 1] != u'.')
        return;
    const qsizetype tableStart = wordBefore(columnStart - 2);
    if (tableStart > columnStart - 2
        || (tableStart > 0 && (text[tableStart - 1] == u'.' || text[tableStart - 1] == u'+')))
        return;
    if (text[tableStart].isDigit())
        return;
    text.insert(tableStart, u'+');
}

} // namespace

QString SqlDialect::toSqlite(const QString &sql)
{
    return toSqlite(sql, {});
}

QString SqlDialect::toSqlite(
    const QString &sql, const std::function<QString(const QString &list)> &numberList, const QStringList &knownLists)
{
    return toSqlite(setAsideNumberLists(sql, knownLists), numberList);
}

QString SqlDialect::toSqlite(const SetAsideLists &aside, const std::function<QString(const QString &list)> &numberList)
{
    std::vector<Token> tokens = SqlTokenizer::tokenize(aside.sql);
    // SQL Server ends a number at the first letter ("= 1AND", "= 1ORDER BY"
    // where a filter ending in a number meets the next piece); SQLite rejects
    // such a run, so a blank goes between.
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i - 1].kind == Kind::Number && tokens[i].kind == Kind::Word) {
            tokens.insert(tokens.begin() + qsizetype(i), Token{Kind::Whitespace, QStringLiteral(" "), false});
            ++i;
        }
    }
    const std::optional<Seq> tree = buildTree(tokens);
    if (!tree)
        return aside.restored();
    Emitter emitter;
    QString rewritten = emitter.seq(*tree);
    // Back to the lists, the last first (placeholder 1 is the start of 10).
    for (qsizetype i = aside.lists.size() - 1; i >= 0; --i) {
        const QString instead = numberList ? numberList(aside.lists.at(i)) : QString();
        if (!instead.isEmpty())
            keepFromIndex(rewritten, rewritten.indexOf(SetAsideLists::placeholder(i)));
        rewritten.replace(SetAsideLists::placeholder(i), instead.isEmpty() ? aside.lists.at(i) : instead);
    }
    return rewritten;
}

} // namespace tannbuch
