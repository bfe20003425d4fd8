#include "MnemonicCaption.h"

namespace tannbuch {

QString MnemonicCaption(const QString &caption, const QString &usedLetters)
{
    QString text;
    bool placed = false;
    for (const QChar c : caption) {
        if (c == u'&') {
            text += QStringLiteral("&&");
            continue;
        }
        if (!placed && c.isLetter() && !usedLetters.contains(c.toLower())) {
            text += u'&';
            placed = true;
        }
        text += c;
    }
    return text;
}

QChar MnemonicLetter(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return text[i + 1].toLower();
        ++i; // "&&" is a plain "&"
    }
    return QChar();
}

QString PlainCaption(const QString &text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    plain = plain.trimmed();
    if (plain.endsWith(u':'))
        plain.chop(1);
    return plain.trimmed();
}

} // namespace tannbuch
