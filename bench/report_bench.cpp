// The whole report on generated lists of N records, on the embedded database:
// head, condensed part with statistics, single logs and totals, saved as
// .xlsx, once for the whole selection and once lot by lot. Beside each run
// the floor measured in the same run: the report's statements alone on the
// same database, and libxlsxwriter writing the same cells with the same
// formats.
//
//   bench_report [N ...]          (default 1000 10000 50000 100000)
//
// Each run happens in a child process of its own, so its peak memory is its
// own. Generated databases are kept in bench-data/ beside the program and
// made anew when the schema is newer.

#include "BenchEnvironment.h"
#include "DemoDatabase.h"
#include "DemoIni.h"
#include "DemoTemplates.h"
#include "app/UnattendedPrint.h"
#include "db/Connection.h"
#include "db/SqliteBackend.h"
#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <map>

namespace {

double seconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e9;
}

// The same cells and formats through libxlsxwriter.
double writeWithLibxlsxwriter(const Workbook &book, const QString &path)
{
    QElapsedTimer clock;
    clock.start();
    lxw_workbook *out = workbook_new(path.toUtf8().constData());
    const Worksheet &sheet = book.sheet(0);
    lxw_worksheet *ws = workbook_add_worksheet(out, nullptr);
    std::map<quint32, lxw_format *> formats;
    auto format = [&](quint32 id) {
        auto it = formats.find(id);
        if (it != formats.end())
            return it->second;
        const ResolvedStyle style = book.resolve(id);
        lxw_format *f = workbook_add_format(out);
        format_set_num_format(f, style.numberFormat.toUtf8().constData());
        if (style.bold)
            format_set_bold(f);
        format_set_font_size(f, style.fontSize);
        if (style.horizontalAlignment == HAlign::Right)
            format_set_align(f, LXW_ALIGN_RIGHT);
        if (!style.borders[EdgeTop].isNone())
            format_set_top(f, LXW_BORDER_THIN);
        if (!style.borders[EdgeBottom].isNone())
            format_set_bottom(f, LXW_BORDER_THIN);
        formats.emplace(id, f);
        return f;
    };
    for (const auto &[row, data] : sheet.rows()) {
        for (const Cell &cell : data.cells) {
            lxw_format *f = format(cell.styleId);
            const lxw_row_t r = lxw_row_t(row - 1);
            const lxw_col_t c = lxw_col_t(cell.column - 1);
            if (cell.type == CellType::Number)
                worksheet_write_number(ws, r, c, cell.number, f);
            else if (cell.type == CellType::Text)
                worksheet_write_string(ws, r, c, cell.text.toUtf8().constData(), f);
            else if (cell.type == CellType::Formula)
                worksheet_write_formula(ws, r, c, cell.formula.mid(1).toUtf8().constData(), f);
            else
                worksheet_write_blank(ws, r, c, f);
        }
    }
    workbook_close(out);
    return seconds(clock);
}

// The statements of a run in a file, each long id list written once: a
// provision's list of many thousand ids comes in nearly every statement, and
// writing it each time would cost the run gigabytes of disk traffic.
class StatementLog
{
public:
    explicit StatementLog(const QString &path)
        : m_file(path)
    { }
    bool open(QIODevice::OpenMode mode)
    {
        if (!m_file.open(mode))
            return false;
        m_stream.setDevice(&m_file);
        return true;
    }
    void close() { m_file.close(); }
    qint64 count() const { return m_count; }

    void add(const QString &sql)
    {
        // Pieces between the lists, and the list numbers: -1 a new list
        // follows in full, k >= 0 the list seen k-th.
        QStringList pieces;
        QList<qint32> refs;
        qsizetype copied = 0;
        for (qsizetype at = sql.indexOf(u"IN ("); at >= 0; at = sql.indexOf(u"IN (", at + 1)) {
            const qsizetype first = at + 4;
            qsizetype known = -1;
            for (qsizetype k = 0; k < m_lists.size() && known < 0; ++k) {
                if (QStringView(sql).mid(first, m_lists[k].size()) == m_lists[k])
                    known = k;
            }
            qsizetype end = first;
            if (known >= 0) {
                end = first + m_lists[known].size();
            } else {
                while (end < sql.size() && (sql[end].isDigit() || sql[end] == u','))
                    ++end;
                if (end - first < 1000)
                    continue;
            }
            if (end >= sql.size() || sql[end] != u')')
                continue;
            pieces << sql.mid(copied, first - copied);
            if (known < 0) {
                m_lists << sql.mid(first, end - first);
                refs << -1;
                pieces << m_lists.last();
            } else {
                refs << qint32(known);
            }
            copied = end;
        }
        pieces << sql.mid(copied);
        m_stream << pieces << refs;
        ++m_count;
    }

    QString next()
    {
        QStringList pieces;
        QList<qint32> refs;
        m_stream >> pieces >> refs;
        QString sql;
        qsizetype piece = 0;
        for (const qint32 ref : refs) {
            sql += pieces.value(piece++);
            if (ref < 0) {
                m_lists << pieces.value(piece++);
                sql += m_lists.last();
            } else {
                sql += m_lists.value(ref);
            }
        }
        return sql + pieces.value(piece);
    }

private:
    QFile m_file;
    QDataStream m_stream;
    QStringList m_lists;
    qint64 m_count = 0;
};

// One run: prints "key=value" pairs on one line.
int child(int records, const QString &mode, const QString &dbPath)
{
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString templates = dir.filePath(QStringLiteral("templates"));
    const QString ini = dir.filePath(QStringLiteral("kelmora.ini"));
    if (writeDemoTemplates(templates) != 0 || writeDemoIni(ini, dbPath, templates) != 0)
        return 1;
    // One template in the folder: the one of the mode.
    const QString keep
        = mode == QStringLiteral("lots") ? QStringLiteral("Tannbuch_Losweise.xltx") : QStringLiteral("Tannbuch.xltx");
    for (const QString &name : QDir(templates).entryList(QDir::Files)) {
        if (name != keep)
            QFile::remove(QDir(templates).filePath(name));
    }
    const QString commandLine = QStringLiteral("|") + ini + QStringLiteral("|||4711|1|DEMO|") + dir.path() + u'/';

    // The report as the user gets it, timed; its peak memory is the
    // process's up to here.
    QElapsedTimer clock;
    double wall = 0;
    {
        UnattendedPrint run;
        clock.start();
        const int exitCode = run.run(commandLine);
        wall = seconds(clock);
        if (exitCode != 0)
            return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    // Once more, untimed, to record the statements it sends.
    StatementLog sent(dir.filePath(QStringLiteral("statements.bin")));
    if (!sent.open(QIODevice::WriteOnly))
        return 1;
    {
        UnattendedPrint run;
        run.program().connection().journal().setSink([&](const QString &sql) { sent.add(sql); });
        if (run.run(commandLine) != 0)
            return 1;
        run.program().connection().journal().setSink({});
    }
    sent.close();
    const qint64 statementCount = sent.count();
    const QString saved = dir.filePath(QStringLiteral("DEMO_4711.xlsx"));

    // Floor 1: the statements alone, fetched in full, on the same database.
    Connection db;
    db.open(std::make_unique<SqliteBackend>(dbPath));
    if (!sent.open(QIODevice::ReadOnly))
        return 1;
    double statementFloor = 0;
    // With TANNBUCH_BENCH_PROFILE set, the floor is also split by statement
    // shape (numbers and quoted texts blanked out) and the costliest shapes
    // go to standard error.
    const bool profile = qEnvironmentVariableIsSet("TANNBUCH_BENCH_PROFILE");
    std::map<QString, std::pair<double, int>> shapes;
    static const QRegularExpression literal(QStringLiteral("'[^']*'|\\b\\d+(\\.\\d+)?\\b"));
    for (qint64 i = 0; i < statementCount; ++i) {
        const QString sql = sent.next();
        clock.restart();
        db.execute(sql);
        const double spent = seconds(clock);
        statementFloor += spent;
        if (profile) {
            auto &shape = shapes[sql.left(2000).replace(literal, QStringLiteral("?")).left(90)];
            shape.first += spent;
            ++shape.second;
        }
    }
    if (profile) {
        std::vector<std::pair<double, QString>> byTime;
        for (const auto &[shape, cost] : shapes)
            byTime.emplace_back(cost.first, QString::number(cost.second) + QStringLiteral("x ") + shape);
        std::sort(byTime.rbegin(), byTime.rend());
        QTextStream err(stderr);
        for (size_t i = 0; i < std::min<size_t>(8, byTime.size()); ++i)
            err << QString::number(byTime[i].first, 'f', 3) << " s  " << byTime[i].second << '\n';
    }

    // Floor 2: the same cells and formats through libxlsxwriter.
    const auto book = XlsxReader::load(saved);
    qint64 cells = 0;
    for (const auto &[row, data] : book->sheet(0).rows())
        cells += qint64(data.cells.size());
    const double writerFloor = writeWithLibxlsxwriter(*book, dir.filePath(QStringLiteral("floor.xlsx")));

    out << "wall=" << wall << " peak_mb=" << double(usage.ru_maxrss) / 1024.0 << " statements=" << statementCount
        << " rows=" << book->sheet(0).usedRange().lastRow << " cells=" << cells
        << " file_kb=" << QFileInfo(saved).size() / 1024 << " stmt_floor=" << statementFloor
        << " xlsx_floor=" << writerFloor << " records=" << records << '\n';
    return 0;
}

QMap<QString, QString> parse(const QString &line)
{
    QMap<QString, QString> values;
    for (const QString &pair : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    return values;
}

} // namespace

int main(int argc, char **argv)
{
    prepareBenchEnvironment();
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QStringLiteral("--child"))
        return child(args.value(1).toInt(), args.value(2), args.value(3));

    QList<int> sizes;
    for (const QString &a : args)
        sizes << a.toInt();
    if (sizes.isEmpty())
        sizes = {1000, 10000, 50000, 100000};

    QTextStream out(stdout);
    const QDir data(QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data"));
    QDir().mkpath(data.path());
    const std::pair<const char *, int> heads[]
        = {{"records", 8}, {"mode", 5}, {"wall s", 7}, {"peak MB", 8}, {"stmts", 7}, {"per 1k", 7}, {"rows", 7},
            {"cells", 8}, {"file KB", 8}, {"stmt fl", 8}, {"xlsx fl", 8}, {"ratio", 6}, {"1ms RTT s", 10}};
    QStringList head;
    for (const auto &[text, width] : heads)
        head << QString::fromLatin1(text).rightJustified(width);
    out << head.join(u' ') << '\n';
    out.flush();
    for (int n : sizes) {
        const QString db = data.filePath(QStringLiteral("forst-%1.sqlite").arg(n));
        // Made anew when the schema changed since.
        if (!QFileInfo::exists(db)
            || QFileInfo(db).lastModified() < QFileInfo(QStringLiteral(TANNBUCH_SCHEMA_SQL)).lastModified()) {
            DemoDatabaseOptions options;
            options.schemaPath = QStringLiteral(TANNBUCH_SCHEMA_SQL);
            options.records = n;
            DemoDatabase::write(db, options);
        }
        for (const QString &mode : {QStringLiteral("whole"), QStringLiteral("lots")}) {
            QProcess process;
            process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process.start(
                QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QString::number(n), mode, db});
            process.waitForFinished(-1);
            const QString line = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
            const auto v = parse(line.split(QLatin1Char('\n')).last());
            if (process.exitCode() != 0 || !v.contains(QStringLiteral("wall"))) {
                out << n << ' ' << mode << ": failed\n";
                continue;
            }
            const double wall = v[QStringLiteral("wall")].toDouble();
            const double floor
                = v[QStringLiteral("stmt_floor")].toDouble() + v[QStringLiteral("xlsx_floor")].toDouble();
            const double statements = v[QStringLiteral("statements")].toDouble();
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12 %13\n")
                       .arg(n, 8)
                       .arg(mode, 5)
                       .arg(wall, 7, 'f', 2)
                       .arg(v[QStringLiteral("peak_mb")].toDouble(), 8, 'f', 0)
                       .arg(v[QStringLiteral("statements")], 7)
                       .arg(statements * 1000.0 / n, 7, 'f', 0)
                       .arg(v[QStringLiteral("rows")], 7)
                       .arg(v[QStringLiteral("cells")], 8)
                       .arg(v[QStringLiteral("file_kb")], 8)
                       .arg(v[QStringLiteral("stmt_floor")].toDouble(), 8, 'f', 2)
                       .arg(v[QStringLiteral("xlsx_floor")].toDouble(), 8, 'f', 2)
                       .arg(floor > 0 ? wall / floor : 0.0, 6, 'f', 2)
                       .arg(wall + statements * 0.001, 10, 'f', 2);
            out.flush();
        }
    }
    return 0;
}
