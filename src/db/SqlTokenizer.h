#pragma once

#include <QString>

#include <vector>

namespace tannbuch {

// Splits a statement in the SQL Server dialect into tokens, keeping every
// character: joining the texts of all tokens gives the statement back
// unchanged. String literals ('..' with '' inside, also N'..'), bracketed
// identifiers ([..] with ]] inside), double-quoted identifiers and comments
// are single tokens (a line comment ends at a carriage return or line feed),
// so nothing that works on tokens can change their content.
//
// Never fails: an unterminated literal, identifier or comment runs to the end
// of the text and is flagged, so callers can leave such a statement alone.
class SqlTokenizer
{
public:
    enum class Kind {
        Whitespace,
        Comment,
        String, // '..' or N'..'
        BracketName, // [..]
        QuotedName, // ".."
        Number,
        Word, // identifier or keyword
        Symbol, // operator or punctuation, one or two characters
    };

    struct Token
    {
        Kind kind;
        QString text;
        // True for a literal, identifier or comment whose closing mark is missing.
        bool unterminated = false;

        bool isWord(QStringView word) const
        {
            return kind == Kind::Word && text.size() == word.size() && text.compare(word, Qt::CaseInsensitive) == 0;
        }
        bool isSymbol(QStringView symbol) const { return kind == Kind::Symbol && text == symbol; }
        bool isSignificant() const { return kind != Kind::Whitespace && kind != Kind::Comment; }
    };

    // A token as a view into the text it was read from.
    struct TokenView
    {
        Kind kind;
        QStringView text;
        bool unterminated = false;

        bool isWord(QStringView word) const
        {
            return kind == Kind::Word && text.size() == word.size() && text.compare(word, Qt::CaseInsensitive) == 0;
        }
        bool isSymbol(QStringView symbol) const { return kind == Kind::Symbol && text == symbol; }
        bool isSignificant() const { return kind != Kind::Whitespace && kind != Kind::Comment; }
    };

    // All tokens of the text, in order.
    static std::vector<Token> tokenize(const QString &sql);
    // The token that starts at `start` (inside the text), without copying:
    // a pass that only looks at the tokens walks the text with it and
    // allocates nothing.
    static TokenView tokenAt(QStringView sql, qsizetype start);
};

} // namespace tannbuch
