#include "SqliteBackend.h"

#include "db/DbError.h"
#include "db/SqlDialect.h"
#include "db/SqlServerFunctions.h"
#include "db/SqlServerSemantics.h"
#include "db/StatementShape.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <utility>

#include <sys/stat.h>

#include <sqlite3.h>

namespace tannbuch {

namespace {

QString errorText(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Lets a statement read tables and call functions, nothing else: no writes,
// no ATTACH, no PRAGMA, no transactions. Only while the connection itself
// begins or ends a snapshot, or makes or drops a temporary table of an IN
// list, may it do that.
int authorize(void *ownStatement, int action, const char *, const char *, const char *database, const char *)
{
    // The connection's own temporary tables of long IN lists. Creating or
    // dropping one also writes its row of the temporary schema table.
    const bool inTemp = database && qstrcmp(database, "temp") == 0;
    if (*static_cast<const bool *>(ownStatement)
        && (action == SQLITE_CREATE_TEMP_TABLE || action == SQLITE_DROP_TEMP_TABLE || action == SQLITE_CREATE_TEMP_INDEX
            || action == SQLITE_DROP_TEMP_INDEX || action == SQLITE_TRANSACTION
            || ((action == SQLITE_INSERT || action == SQLITE_UPDATE || action == SQLITE_DELETE) && inTemp)))
        return SQLITE_OK;
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

// Owns a prepared statement.
struct Statement
{
    sqlite3_stmt *handle = nullptr;
    Statement() = default;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement() { sqlite3_finalize(handle); }
};

QVariant columnValue(sqlite3_stmt *st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_TEXT: {
        // The file holds UTF-8: read as it is, converted once.
        const char *p = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
        const int bytes = sqlite3_column_bytes(st, i);
        const QString text = QString::fromUtf8(p, bytes);
        if (bytes == 10 || bytes == 19) {
            if (const auto date = sqlserver::parseStoredDate(text)) {
                if (date->dateOnly)
                    return QVariant(date->value.date());
                return QVariant(QDateTime(date->value.date(), date->value.time()));
            }
        }
        return QVariant(text);
    }
    case SQLITE_BLOB: {
        const void *p = sqlite3_column_blob(st, i);
        const int bytes = sqlite3_column_bytes(st, i);
        return QVariant(QByteArray(static_cast<const char *>(p), bytes));
    }
    default:
        return QVariant();
    }
}

} // namespace

SqliteBackend::SqliteBackend(const QString &path)
    : m_path(path)
    , m_statements(StatementCacheSize)
{
    // An empty name or one starting with ':' would give SQLite's temporary or
    // in-memory database instead of a file.
    if (path.isEmpty() || path.startsWith(u':'))
        failOpen(QStringLiteral("Es ist keine Datenbankdatei angegeben."));

    m_nativePath = QFile::encodeName(path);
    // One thread uses a connection at a time: SQLite need not lock it for
    // every value read.
    const int rc
        = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        failOpen(m_db ? errorText(m_db) : QStringLiteral("Zu wenig Speicher."));
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 5000);
    // "name" is always an identifier, as in SQL Server, never a text literal.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, static_cast<int *>(nullptr));
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, static_cast<int *>(nullptr));
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, static_cast<int *>(nullptr));
    // A provision's filter carries thousands of record ids ("ID_LOG IN
    // (...)"), also in statements that find a pile's few records through an
    // index. The seek-scan plan would still step through every id of the
    // list for each pile; without it the planner scans the pile's records
    // and tests each against the list, as it estimates to be cheaper.
    constexpr int SeekScanOptimization = 0x00020000;
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, m_db, SeekScanOptimization);
    try {
        SqlServerFunctions::install(m_db);
    } catch (const DbError &e) {
        // Rethrown with the file name; the connection is closed first.
        failOpen(e.message());
    }
    // Reports read the same tables again and again (a pile's totals scan the
    // list's records): keep the pages in memory instead of reading them from
    // the file anew each time. The file is never mapped into memory: a file
    // that shrinks while mapped (the host replacing or cutting it during a
    // run) kills the program with a bus error, where reading it gives an
    // error that can be told. Settings of this connection only, made before
    // the authorizer forbids pragmas.
    if (sqlite3_exec(m_db, "PRAGMA cache_size = -32768; PRAGMA mmap_size = 0;", nullptr, nullptr, nullptr) != SQLITE_OK)
        failOpen(errorText(m_db));
    sqlite3_set_authorizer(m_db, authorize, &m_fillingTemporaryTable);

    // SQLite reads the file only when needed: read the schema now, so that a
    // file that is no database fails here and not at the first statement.
    char *error = nullptr;
    if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : errorText(m_db);
        sqlite3_free(error);
        failOpen(message);
    }
    // SQLite takes an empty file for an empty database; here it is a mistake.
    m_openedSize = QFileInfo(path).size();
    if (m_openedSize == 0)
        failOpen(QStringLiteral("Die Datei ist leer."));
}

SqliteBackend::~SqliteBackend()
{
    m_statements.clear();
    sqlite3_close_v2(m_db);
}

void SqliteBackend::failOpen(const QString &reason)
{
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    throw DbError(
        QStringLiteral("Die Datenbank „%1“ lässt sich nicht öffnen: %2").arg(QDir::toNativeSeparators(m_path), reason));
}

SetAsideLists SqliteBackend::setAsideLists(const QString &sql)
{
    SetAsideLists aside = SqlDialect::setAsideNumberLists(
        sql, m_knownLists, [this](QStringView subquery) { return fixedSubquery(subquery); });
    for (const QString &list : aside.lists)
        numberListTable(list);
    return aside;
}

QString SqliteBackend::cacheKey(const QString &text, const SetAsideLists &aside)
{
    // Each list is named by its temporary table (a list of the same text
    // always gets the same one); a list without a table by its text. A NUL
    // never stands in a statement, so the parts cannot run into each other.
    QString key = text;
    for (const QString &list : aside.lists) {
        const QString table = numberListTable(list);
        key += QChar(u'\0') + (table.isEmpty() ? list : table);
    }
    return key;
}

QString SqliteBackend::rewritten(const SetAsideLists &aside)
{
    // Long statements are not cached, so they are not looked up either:
    // hashing one costs as much as reading it.
    const QString key = cacheKey(aside.sql, aside);
    const bool cacheable = key.size() <= RewriteCacheTextLimit;
    if (cacheable) {
        const auto it = m_rewrites.constFind(key);
        if (it != m_rewrites.constEnd())
            return *it;
        if (m_rewrites.size() >= RewriteCacheLimit)
            m_rewrites.clear();
    }
    const QString text = cacheable
        ? rewrittenByLiterals(aside)
        : SqlDialect::toSqlite(aside, [this](const QString &list) { return numberListTable(list); });
    if (cacheable)
        m_rewrites.insert(key, text);
    return text;
}

QString SqliteBackend::rewrittenByLiterals(const SetAsideLists &aside)
{
    const auto numberList = [this](const QString &list) { return numberListTable(list); };
    // A list holding the mark's character could pass for a mark.
    const bool listsPlain = std::none_of(
        aside.lists.begin(), aside.lists.end(), [](const QString &list) { return list.contains(QChar(u'\x01')); });
    const std::optional<MarkedLiterals> marked = listsPlain ? MarkedLiterals::of(aside.sql) : std::nullopt;
    if (!marked)
        return SqlDialect::toSqlite(aside, numberList);
    const QString key = cacheKey(marked->sql, aside);
    auto it = m_literalForms.constFind(key);
    if (it == m_literalForms.constEnd()) {
        if (m_literalForms.size() >= RewriteCacheLimit)
            m_literalForms.clear();
        it = m_literalForms.insert(key, SqlDialect::toSqlite(SetAsideLists{marked->sql, aside.lists}, numberList));
    }
    if (std::optional<QString> text = marked->restoredIn(*it))
        return *std::move(text);
    return SqlDialect::toSqlite(aside, numberList);
}

QString SqliteBackend::numberListTable(const QString &list)
{
    // The list found as a known one is the very same string: no hashing of
    // many thousand characters.
    for (qsizetype k = 0; k < m_knownLists.size(); ++k) {
        if (m_knownLists[k].constData() == list.constData())
            return m_knownSubqueries[k];
    }
    const auto it = m_numberListTables.constFind(list);
    if (it != m_numberListTables.constEnd())
        return *it;
    if (m_numberListTables.size() >= NumberListTableLimit || list.isEmpty() || !list.front().isDigit())
        return QString(); // a subquery gets its table from fixedSubquery() only
    std::vector<qint64> numbers;
    for (const QStringView item : QStringView(list).split(u',')) {
        bool ok = false;
        numbers.push_back(item.trimmed().toLongLong(&ok));
        if (!ok)
            return QString(); // beyond 64 bits: the list stays as it is
    }
    return makeNumberTable(list, numbers, false);
}

bool SqliteBackend::fixedSubquery(QStringView subquery)
{
    if (!m_inSnapshot)
        return false;
    const QString text = subquery.toString();
    // Once is no reason for a table; twice in one report is every pile.
    if (m_subqueriesRefused.contains(text) || ++m_subqueriesSeen[text] < 2)
        return false;
    std::vector<qint64> numbers;
    bool hasNull = false;
    const QString table
        = readWholeNumbers(text, numbers, hasNull) ? makeNumberTable(text, numbers, hasNull) : QString();
    if (table.isEmpty()) {
        m_subqueriesRefused.insert(text);
        return false;
    }
    m_snapshotTables.push_back({text, table});
    return true;
}

bool SqliteBackend::readWholeNumbers(const QString &subquery, std::vector<qint64> &numbers, bool &hasNull)
{
    // A subquery that prepares alone names nothing of the statement around
    // it, so its answer is the same for every row and, in one snapshot,
    // for every statement.
    const QByteArray text = SqlDialect::toSqlite(subquery).toUtf8();
    Statement st;
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &st.handle, nullptr) != SQLITE_OK || !st.handle
        || !sqlite3_stmt_readonly(st.handle) || sqlite3_column_count(st.handle) != 1)
        return false;
    // A column of integer type compares as the table's numbers do.
    const char *type = sqlite3_column_decltype(st.handle, 0);
    if (!type || !QByteArray(type).toUpper().contains("INT"))
        return false;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st.handle)) == SQLITE_ROW) {
        const int kind = sqlite3_column_type(st.handle, 0);
        if (kind == SQLITE_NULL)
            hasNull = true;
        else if (kind == SQLITE_INTEGER)
            numbers.push_back(sqlite3_column_int64(st.handle, 0));
        else
            return false;
    }
    if (rc != SQLITE_DONE)
        failIfDamaged(rc);
    return rc == SQLITE_DONE;
}

QString SqliteBackend::makeNumberTable(const QString &text, const std::vector<qint64> &numbers, bool hasNull)
{
    if (m_numberListTables.size() >= NumberListTableLimit)
        return QString();
    const QByteArray table = "tannbuch_in_" + QByteArray::number(m_tablesMade++);
    m_fillingTemporaryTable = true;
    const auto done = qScopeGuard([this] { m_fillingTemporaryTable = false; });
    // Only a table with a NULL needs a column apart from the row id.
    const QByteArray create
        = "CREATE TEMP TABLE " + table + (hasNull ? " (id INTEGER UNIQUE)" : " (id INTEGER PRIMARY KEY)");
    if (sqlite3_exec(m_db, create.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return QString();
    Statement insert;
    const QByteArray insertText = "INSERT OR IGNORE INTO temp." + table + " VALUES (?)";
    if (sqlite3_prepare_v2(m_db, insertText.constData(), -1, &insert.handle, nullptr) != SQLITE_OK)
        return QString();
    // Inside a snapshot the rows go into its transaction.
    const bool ownTransaction = sqlite3_get_autocommit(m_db) != 0;
    if (ownTransaction)
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
    for (qint64 n : numbers) {
        sqlite3_bind_int64(insert.handle, 1, n);
        sqlite3_step(insert.handle);
        sqlite3_reset(insert.handle);
    }
    if (hasNull) {
        sqlite3_bind_null(insert.handle, 1);
        sqlite3_step(insert.handle);
    }
    if (ownTransaction && sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return QString();
    }
    const QString subquery = QStringLiteral("SELECT id FROM temp.") + QString::fromLatin1(table);
    m_numberListTables.insert(text, subquery);
    m_knownLists << text;
    m_knownSubqueries << subquery;
    return QString::fromLatin1(table);
}

bool SqliteBackend::runOwn(const char *sql)
{
    m_fillingTemporaryTable = true;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    m_fillingTemporaryTable = false;
    return rc == SQLITE_OK;
}

bool SqliteBackend::beginSnapshot()
{
    if (!m_inSnapshot && sqlite3_get_autocommit(m_db) != 0)
        m_inSnapshot = runOwn("BEGIN");
    return m_inSnapshot;
}

void SqliteBackend::endSnapshot()
{
    if (!m_inSnapshot)
        return;
    m_inSnapshot = false;
    m_subqueriesSeen.clear();
    m_subqueriesRefused.clear();
    // A transaction SQLite ended after a failure took the tables made in it
    // along: then every table is dropped and forgotten, the lists' too.
    const bool committed = sqlite3_get_autocommit(m_db) == 0 && runOwn("COMMIT");
    if (!committed) {
        runOwn("ROLLBACK");
        m_snapshotTables.clear();
        for (const QString &list : std::as_const(m_knownLists))
            m_snapshotTables.push_back({list, m_numberListTables.value(list).section(u'.', -1)});
    }
    if (m_snapshotTables.empty())
        return;
    // Kept statements and rewrites may name the tables dropped here.
    m_statements.clear();
    m_rewrites.clear();
    m_literalForms.clear();
    for (const SnapshotTable &dropped : m_snapshotTables) {
        runOwn(("DROP TABLE IF EXISTS temp." + dropped.table.toLatin1()).constData());
        m_numberListTables.remove(dropped.text);
        const qsizetype at = m_knownLists.indexOf(dropped.text);
        if (at >= 0) {
            m_knownLists.removeAt(at);
            m_knownSubqueries.removeAt(at);
        }
    }
    m_snapshotTables.clear();
}

ResultData SqliteBackend::query(const QString &sql)
{
    // A provision's id list, set aside, leaves a short text to shape, look
    // up and rewrite; the list itself is read only by comparing it.
    const SetAsideLists aside = setAsideLists(sql);
    StatementShape shape = shapeOf(aside.sql);
    Statement st;
    st.handle = statementFor(shape, aside);
    if (!st.handle)
        return ResultData(); // nothing but blanks and comments
    for (size_t i = 0; i < shape.values.size(); ++i)
        sqlite3_bind_int64(st.handle, int(i + 1), shape.values[i]);
    ResultData data = fetch(st.handle);
    m_statements.put(cacheKey(shape.text, aside), std::exchange(st.handle, nullptr));
    // A snapshot reads pages it holds without asking the file again: a file
    // cut short during the run must not go unnoticed.
    if (m_inSnapshot)
        failIfShrunk();
    return data;
}

StatementShape SqliteBackend::shapeOf(const QString &sql)
{
    // A report sends the same few shapes over and over: a statement is
    // matched against the latest ones before it is tokenized.
    for (auto it = m_recentShapes.begin(); it != m_recentShapes.end(); ++it) {
        if (std::optional<std::vector<qint64>> values = it->valuesOf(sql)) {
            StatementShape shape{it->text, std::move(*values), it->marks};
            std::rotate(m_recentShapes.begin(), it, it + 1);
            return shape;
        }
    }
    StatementShape shape = StatementShape::of(sql);
    if (!shape.values.empty()) {
        if (m_recentShapes.size() == RecentShapeCount)
            m_recentShapes.pop_back();
        m_recentShapes.insert(m_recentShapes.begin(), shape);
    }
    return shape;
}

sqlite3_stmt *SqliteBackend::statementFor(StatementShape &shape, const SetAsideLists &aside)
{
    if (sqlite3_stmt *kept = m_statements.take(cacheKey(shape.text, aside)))
        return kept;
    if (shape.values.empty())
        return prepared(aside);
    try {
        Statement st;
        st.handle = prepared(SetAsideLists{shape.text, aside.lists});
        if (st.handle && sqlite3_bind_parameter_count(st.handle) == int(shape.values.size()))
            return std::exchange(st.handle, nullptr);
    } catch (const DbError &) {
        // The statement is prepared as it came below: it fails again, with a
        // message that quotes what the statement says.
    }
    shape = StatementShape{aside.sql, {}, {}};
    return prepared(aside);
}

sqlite3_stmt *SqliteBackend::prepared(const SetAsideLists &aside)
{
    // SQLite parses UTF-8; the text goes to it in that form.
    const QByteArray text = rewritten(aside).toUtf8();
    const char *end = text.constData() + text.size();

    Statement st;
    const char *tail = nullptr;
    const int rc
        = sqlite3_prepare_v3(m_db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &st.handle, &tail);
    if (rc != SQLITE_OK) {
        failIfDamaged(rc);
        if ((rc & 0xff) == SQLITE_AUTH)
            throw DbError(
                QStringLiteral("Die Anweisung wird nicht ausgeführt, denn die Datenbank wird nur gelesen (%1).")
                    .arg(errorText(m_db)));
        throw DbError(errorText(m_db));
    }
    if (!st.handle)
        return nullptr;

    const char *rest = tail ? tail : end;
    if (rest < end) {
        Statement second;
        const int rc2 = sqlite3_prepare_v2(m_db, rest, int(end - rest), &second.handle, nullptr);
        if (rc2 != SQLITE_OK || second.handle)
            throw DbError(
                QStringLiteral("Es wird nur eine Anweisung auf einmal ausgeführt; der Text enthält mehrere."));
    }
    if (!sqlite3_stmt_readonly(st.handle))
        throw DbError(QStringLiteral("Die Anweisung wird nicht ausgeführt, denn die Datenbank wird nur gelesen."));
    return std::exchange(st.handle, nullptr);
}

ResultData SqliteBackend::fetch(sqlite3_stmt *st)
{
    // A kept statement is prepared anew inside its first step when the
    // tables changed since (a column added to "SELECT *"): the columns are
    // read after it.
    int rc = sqlite3_step(st);
    ResultData data;
    const int columns = sqlite3_column_count(st);
    for (int i = 0; i < columns; ++i)
        data.columns << QString::fromUtf8(sqlite3_column_name(st, i));

    for (; rc == SQLITE_ROW; rc = sqlite3_step(st)) {
        std::vector<QVariant> row;
        row.reserve(size_t(columns));
        for (int i = 0; i < columns; ++i)
            row.push_back(columnValue(st, i));
        data.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        failIfDamaged(rc);
        throw DbError(errorText(m_db));
    }
    return data;
}

namespace {

[[noreturn]] void throwDamaged(const QString &path, const QString &reason)
{
    throw DbError(QStringLiteral("Die Datenbankdatei „%1“ ist beschädigt oder wurde während des Laufs verändert "
                                 "(%2). Der Bericht ist unvollständig.")
                      .arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

void SqliteBackend::failIfDamaged(int rc)
{
    const int primary = rc & 0xff;
    // A file cut to nothing reads as an empty database ("no such table"):
    // a file that shrank since it was opened tells the real reason.
    const QFileInfo now(m_path);
    const bool shrunk = now.exists() && now.size() < m_openedSize;
    if (primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB && primary != SQLITE_IOERR && !shrunk)
        return;
    throwDamaged(m_path, errorText(m_db));
}

void SqliteBackend::failIfShrunk()
{
    struct stat now = {};
    if (::stat(m_nativePath.constData(), &now) == 0 && qint64(now.st_size) < m_openedSize)
        throwDamaged(m_path, QStringLiteral("die Datei ist kürzer geworden"));
}

} // namespace tannbuch
