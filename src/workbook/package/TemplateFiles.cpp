#include "TemplateFiles.h"

#include <QDir>

#include <algorithm>

namespace tannbuch {

namespace {

bool wildcardMatch(QStringView name, QStringView pattern)
{
    // Iterative matching with one back-track point for the last "*".
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size()
            && (pattern[p] == QLatin1Char('?') || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace

bool TemplateFiles::matches(const QString &fileName, const QString &pattern)
{
    if (wildcardMatch(fileName, pattern))
        return true;
    const qsizetype patternDot = pattern.lastIndexOf(QLatin1Char('.'));
    const qsizetype nameDot = fileName.lastIndexOf(QLatin1Char('.'));
    if (patternDot < 0 || nameDot < 0)
        return false;
    const QStringView patternExtension = QStringView(pattern).mid(patternDot + 1);
    if (patternExtension.size() != 3 || patternExtension.contains(QLatin1Char('*')))
        return false;
    if (fileName.size() - nameDot - 1 <= 3)
        return false;
    return wildcardMatch(QStringView(fileName).left(nameDot + 4), pattern);
}

QStringList TemplateFiles::list(const QString &folder, const QString &pattern)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    QStringList names;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Readable)) {
        if (matches(name, pattern))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

} // namespace tannbuch
