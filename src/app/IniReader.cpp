#include "IniReader.h"

#include "text/BoundedFile.h"
#include "text/Windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringDecoder>

namespace tannbuch {

namespace {

// A NUL byte never stands in a text file of a single-byte code page or UTF-8;
// UTF-16 has one in every character of the Latin alphabet.
bool isText(const QByteArray &bytes)
{
    return !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF") && !bytes.contains('\0');
}

} // namespace

QString IniReader::decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    // Bytes that decode as UTF-8 without error are UTF-8; Windows-1252 text
    // with umlauts never does.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return Windows1252::decode(bytes);
}

std::optional<QString> IniReader::text(const QString &path, QString *problem)
{
    const BoundedFile::Result file = BoundedFile::read(path, MaxBytes, QStringLiteral("Die ini-Datei"));
    if (file.problem == BoundedFile::Problem::None && isText(file.data))
        return decode(file.data);
    if (!problem)
        return std::nullopt;
    if (file.problem == BoundedFile::Problem::CannotOpen)
        problem->clear();
    else if (file.problem != BoundedFile::Problem::None)
        *problem = file.message;
    else
        *problem = QStringLiteral("Die ini-Datei \"%1\" lässt sich nicht als Text lesen (sie ist wohl als UTF-16 "
                                  "oder binär gespeichert); sie muss als ANSI- oder UTF-8-Text gespeichert sein.")
                       .arg(QDir::toNativeSeparators(path));
    return std::nullopt;
}

std::optional<QString> IniReader::value(const QString &path, const QString &key, QString *problem)
{
    const std::optional<QString> content = text(path, problem);
    if (!content)
        return std::nullopt;
    return valueIn(*content, key);
}

QString IniReader::valueIn(const QString &text, const QString &key)
{
    const QString wanted = key.trimmed().toUpper();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const qsizetype p = line.indexOf(QLatin1Char('='));
        if (p < 1)
            continue;
        if (line.left(p).trimmed().toUpper() == wanted)
            return line.mid(p + 1).trimmed();
    }
    return QString();
}

QString IniReader::defaultPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kelmora.ini"));
}

} // namespace tannbuch
