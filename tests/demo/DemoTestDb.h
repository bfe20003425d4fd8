#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

struct sqlite3;

namespace tannbuch {

// Read-only access to a generated database for the demo tests. Values come
// back as QVariant: qlonglong, double, QString, or invalid for NULL. Every
// failure throws std::runtime_error with SQLite's message and the statement.
class DemoTestDb
{
public:
    explicit DemoTestDb(const QString &path);
    ~DemoTestDb();
    DemoTestDb(const DemoTestDb &) = delete;
    DemoTestDb &operator=(const DemoTestDb &) = delete;

    std::vector<std::vector<QVariant>> rows(const QString &sql) const;
    // First column of the first row; invalid when there is no row.
    QVariant value(const QString &sql) const;
    // First column of every row, as text.
    QStringList texts(const QString &sql) const;

    // Every row of every table as text, tables by name and rows by rowid:
    // equal dumps mean equal contents.
    QString dump() const;

    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

// Writes a database with the generator into folder/name and returns its
// path; records 0 writes the demo lists.
QString writeDemoDatabase(
    const QString &folder, const QString &name, int records = 0, const QString &list = QStringLiteral("4711"));

} // namespace tannbuch
