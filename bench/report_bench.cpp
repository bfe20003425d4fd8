// The whole report on generated lists of N records, on the embedded database:
// head, condensed part with statistics, single logs and totals, saved as
// .xlsx, once for the whole selection and once lot by lot, printed with the
// provision DEMO, which holds every record of the list. Beside each run the
// floor measured in the same run: the report's statements alone on the same
// database, and libxlsxwriter writing the same cells with the same formats;
// and python3-xlsxwriter writing them too, beside the program's own writer
// saving the same workbook. A second list of 10,000 records comes in piles
// of about 50 records with coordinates of their own, jackets and stacked
// wood with heights ("piles"). Then the report over the SQL Server test
// endpoint with a delay per round trip, beside the same without delay, with
// and without look-ahead; and at the end every target with met or missed.
//
//   bench_report [N ...]          (default 1000 10000 50000 100000)
//
// Each run happens in a child process of its own, so its peak memory is its
// own. Generated databases are kept in bench-data/ beside the program and
// made anew when the schema is newer.

#include "BenchDatabase.h"
#include "BenchEnvironment.h"
#include "DemoDatabase.h"
#include "DemoIni.h"
#include "DemoTemplates.h"
#include "app/IniReader.h"
#include "app/UnattendedPrint.h"
#include "db/Connection.h"
#include "db/SqliteBackend.h"
#include "workbook/cells/CellStyle.h"
#include "workbook/cells/Workbook.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"

#include "tds/TdsEndpoint.h"

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
#include <time.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

double seconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e9;
}

// Processor time in seconds: of the whole process, or of the calling thread
// alone (the program's own work when the test endpoint answers on threads
// of the same process).
double cpuSeconds(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
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

// A field of the cell dump, with tab, line breaks and backslash escaped.
QString dumpField(QString text)
{
    return text.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"));
}

// The cells and formats writeWithLibxlsxwriter writes, as a plain dump for
// xlsxwriter_dump.py (its comment describes the lines).
bool dumpCells(const Workbook &book, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    const Worksheet &sheet = book.sheet(0);
    std::set<quint32> styles;
    for (const auto &[row, data] : sheet.rows()) {
        for (const Cell &cell : data.cells)
            styles.insert(cell.styleId);
    }
    for (const quint32 id : styles) {
        const ResolvedStyle style = book.resolve(id);
        out << "S\t" << id << '\t' << dumpField(style.numberFormat) << '\t' << int(style.bold) << '\t' << style.fontSize
            << '\t' << int(style.horizontalAlignment == HAlign::Right) << '\t' << int(!style.borders[EdgeTop].isNone())
            << '\t' << int(!style.borders[EdgeBottom].isNone()) << '\n';
    }
    for (const auto &[row, data] : sheet.rows()) {
        for (const Cell &cell : data.cells) {
            out << "C\t" << row << '\t' << cell.column << '\t';
            if (cell.type == CellType::Number)
                out << "n\t" << cell.styleId << '\t' << QString::number(cell.number, 'g', 17);
            else if (cell.type == CellType::Text)
                out << "s\t" << cell.styleId << '\t' << dumpField(cell.text);
            else if (cell.type == CellType::Formula)
                out << "f\t" << cell.styleId << '\t' << dumpField(cell.formula.mid(1));
            else
                out << "b\t" << cell.styleId << '\t';
            out << '\n';
        }
    }
    out.flush();
    return file.error() == QFileDevice::NoError;
}

// The time python3-xlsxwriter takes to write the dumped cells; -1 when it
// cannot run (the Debian package python3-xlsxwriter is missing).
double writeWithPythonXlsxwriter(const QString &dump, const QString &path)
{
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    python.start(
        QStringLiteral("/usr/bin/python3"), {QStringLiteral(TANNBUCH_BENCH_DIR "/xlsxwriter_dump.py"), dump, path});
    if (!python.waitForFinished(-1) || python.exitCode() != 0)
        return -1;
    const QString line = QString::fromLocal8Bit(python.readAllStandardOutput()).trimmed();
    return line.startsWith(u"xlsxwriter_s=") ? line.section(u'=', 1).toDouble() : -1;
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

// A folder with the demo templates, only the mode's one left, and an ini
// file naming them and the database; the ini file's path.
QString prepareFolder(const QTemporaryDir &dir, const QString &mode, const QString &dbPath)
{
    const QString templates = dir.filePath(QStringLiteral("templates"));
    const QString ini = dir.filePath(QStringLiteral("kelmora.ini"));
    if (writeDemoTemplates(templates) != 0 || writeDemoIni(ini, dbPath, templates) != 0)
        return QString();
    const QString keep
        = mode == QStringLiteral("lots") ? QStringLiteral("Tannbuch_Losweise.xltx") : QStringLiteral("Tannbuch.xltx");
    for (const QString &name : QDir(templates).entryList(QDir::Files)) {
        if (name != keep)
            QFile::remove(QDir(templates).filePath(name));
    }
    return ini;
}

// The statements sent, fetched in full once more on the same database,
// timed. With TANNBUCH_BENCH_PROFILE set, the time is also split by
// statement shape (numbers and quoted texts blanked out) and the costliest
// shapes go to standard error.
double statementFloor(StatementLog &sent, qint64 statementCount, const QString &dbPath)
{
    Connection db;
    db.open(std::make_unique<SqliteBackend>(dbPath));
    // One snapshot, as the report reads.
    const Connection::ReadSnapshot snapshot(db);
    double floor = 0;
    const bool profile = qEnvironmentVariableIsSet("TANNBUCH_BENCH_PROFILE");
    std::map<QString, std::pair<double, int>> shapes;
    static const QRegularExpression literal(QStringLiteral("'[^']*'|\\b\\d+(\\.\\d+)?\\b"));
    QElapsedTimer clock;
    for (qint64 i = 0; i < statementCount; ++i) {
        const QString sql = sent.next();
        clock.restart();
        db.execute(sql);
        const double spent = seconds(clock);
        floor += spent;
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
        for (size_t i = 0; i < std::min<size_t>(16, byTime.size()); ++i)
            err << QString::number(byTime[i].first, 'f', 3) << " s  " << byTime[i].second << '\n';
    }
    return floor;
}

// One run: prints "key=value" pairs on one line.
int child(int records, const QString &mode, const QString &dbPath)
{
    QTemporaryDir dir;
    const QString ini = prepareFolder(dir, mode, dbPath);
    if (ini.isEmpty())
        return 1;
    const QString commandLine = QStringLiteral("|") + ini + QStringLiteral("|||4711|1|DEMO|") + dir.path() + u'/';

    // The report as the user gets it, timed; its peak memory is the
    // process's up to here.
    QElapsedTimer clock;
    double wall = 0;
    double cpu = 0;
    {
        UnattendedPrint run;
        clock.start();
        const double cpuBefore = cpuSeconds();
        const int exitCode = run.run(commandLine);
        wall = seconds(clock);
        cpu = cpuSeconds() - cpuBefore;
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
    if (!sent.open(QIODevice::ReadOnly))
        return 1;
    const double stmtFloor = statementFloor(sent, statementCount, dbPath);

    // The writers on the same cells and formats: libxlsxwriter (the floor),
    // the program's own writer saving the workbook read back, and
    // python3-xlsxwriter.
    const QString saved = dir.filePath(QStringLiteral("DEMO_4711.xlsx"));
    const auto book = XlsxReader::load(saved);
    qint64 cells = 0;
    for (const auto &[row, data] : book->sheet(0).rows())
        cells += qint64(data.cells.size());
    const double writerFloor = writeWithLibxlsxwriter(*book, dir.filePath(QStringLiteral("floor.xlsx")));
    clock.restart();
    XlsxWriter::save(*book, dir.filePath(QStringLiteral("again.xlsx")));
    const double save = seconds(clock);
    const QString dump = dir.filePath(QStringLiteral("cells.txt"));
    const double python
        = dumpCells(*book, dump) ? writeWithPythonXlsxwriter(dump, dir.filePath(QStringLiteral("python.xlsx"))) : -1;

    QTextStream(stdout) << "wall=" << wall << " cpu=" << cpu << " peak_mb=" << double(usage.ru_maxrss) / 1024.0
                        << " statements=" << statementCount << " rows=" << book->sheet(0).usedRange().lastRow
                        << " cells=" << cells << " file_kb=" << QFileInfo(saved).size() / 1024
                        << " stmt_floor=" << stmtFloor << " xlsx_floor=" << writerFloor << " save=" << save
                        << " python=" << python << " records=" << records << '\n';
    return 0;
}

// The whole list over the SQL Server test endpoint: without delay and with
// the given delay before each answer (a round trip's latency), with
// look-ahead, and with `alone` also without it. Prints the times, the
// batches each run sent and the program's own processor time (its thread's:
// the endpoint answers on threads of its own) of the run without delay.
int roundTripChild(int records, const QString &dbPath, int latencyMs, bool alone)
{
    QTemporaryDir dir;
    const QString ini = prepareFolder(dir, QStringLiteral("whole"), dbPath);
    if (ini.isEmpty())
        return 1;
    tds::Endpoint endpoint(dbPath);
    const QString commandLine = endpoint.connectionString() + u'|' + ini + u'|'
        + IniReader::value(ini, QStringLiteral("AL")).value_or(QString()) + u'|'
        + IniReader::value(ini, QStringLiteral("RELTABLE")).value_or(QString()) + QStringLiteral("|4711|1|DEMO|")
        + dir.path() + u'/';
    struct Run
    {
        const char *key;
        int latency;
        bool lookAhead;
    };
    QTextStream out(stdout);
    for (const Run &r : {Run{"plain", 0, true}, Run{"delayed", latencyMs, true}, Run{"plain_alone", 0, false},
             Run{"delayed_alone", latencyMs, false}}) {
        if (!r.lookAhead && !alone)
            continue;
        qputenv("TANNBUCH_PREFETCH", r.lookAhead ? "1" : "0");
        tds::Faults faults;
        faults.latencyMs = r.latency;
        endpoint.setFaults(faults);
        const qsizetype batchesBefore = endpoint.batches().size();
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        UnattendedPrint run;
        if (run.run(commandLine) != 0)
            return 1;
        out << r.key << '=' << seconds(clock) << ' ' << r.key
            << "_batches=" << endpoint.batches().size() - batchesBefore << ' ' << r.key
            << "_cpu=" << cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuBefore << ' ';
    }
    out << "records=" << records << '\n';
    return 0;
}

QMap<QString, QString> parse(const QString &line)
{
    QMap<QString, QString> values;
    for (const QString &pair : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    return values;
}

// Runs a child with the arguments; its last line's values, empty when it failed.
QMap<QString, QString> runChild(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), arguments);
    process.waitForFinished(-1);
    const QString line = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (process.exitCode() != 0)
        return {};
    return parse(line.split(QLatin1Char('\n')).last());
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("missed");
}

// The values of the runs by list ("10000", "piles") and mode.
using Results = std::map<std::pair<QString, QString>, QMap<QString, QString>>;

void printRun(QTextStream &out, const QString &list, const QString &mode, int n, const QMap<QString, QString> &v)
{
    const auto d = [&v](const char *key) { return v[QLatin1String(key)].toDouble(); };
    const double floor = d("stmt_floor") + d("xlsx_floor");
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12 %13")
               .arg(list, 11)
               .arg(mode, 5)
               .arg(d("wall"), 7, 'f', 2)
               .arg(d("cpu"), 6, 'f', 2)
               .arg(d("peak_mb"), 8, 'f', 0)
               .arg(d("peak_mb") * 1024.0 / n, 7, 'f', 2)
               .arg(v[QStringLiteral("statements")], 7)
               .arg(d("statements") * 1000.0 / n, 7, 'f', 0)
               .arg(v[QStringLiteral("rows")], 7)
               .arg(v[QStringLiteral("cells")], 8)
               .arg(d("stmt_floor"), 8, 'f', 2)
               .arg(d("xlsx_floor"), 8, 'f', 2)
               .arg(floor > 0 ? d("wall") / floor : 0.0, 6, 'f', 2)
        << QStringLiteral(" %1 %2 %3\n")
               .arg(d("save"), 7, 'f', 2)
               .arg(d("python"), 6, 'f', 2)
               .arg(d("python") > 0 ? d("wall") / d("python") : 0.0, 8, 'f', 2);
    out.flush();
}

// The table of runs, one line per list and mode: every size whole and lot
// by lot, and at 10,000 records the list in small piles.
Results printRuns(QTextStream &out, const QList<int> &sizes)
{
    const std::pair<const char *, int> heads[] = {{"list", 11}, {"mode", 5}, {"wall s", 7}, {"cpu s", 6},
        {"peak MB", 8}, {"KB/rec", 7}, {"stmts", 7}, {"per 1k", 7}, {"rows", 7}, {"cells", 8}, {"stmt fl", 8},
        {"xlsx fl", 8}, {"ratio", 6}, {"save s", 7}, {"py s", 6}, {"wall/py", 8}};
    QStringList head;
    for (const auto &[text, width] : heads)
        head << QString::fromLatin1(text).rightJustified(width);
    out << head.join(u' ') << '\n';
    out.flush();
    Results results;
    for (int n : sizes) {
        struct Run
        {
            QString list;
            QString mode;
            bool smallPiles;
        };
        QList<Run> runs = {
            {QString::number(n), QStringLiteral("whole"), false}, {QString::number(n), QStringLiteral("lots"), false}};
        if (n == 10000)
            runs << Run{QStringLiteral("piles"), QStringLiteral("whole"), true};
        for (const Run &r : runs) {
            const QString db = benchDatabase(n, QStringLiteral(TANNBUCH_SCHEMA_SQL), r.smallPiles);
            const auto v = runChild({QStringLiteral("--child"), QString::number(n), r.mode, db});
            if (!v.contains(QStringLiteral("wall"))) {
                out << r.list << ' ' << r.mode << ": failed\n";
                continue;
            }
            results[{r.list, r.mode}] = v;
            printRun(out, r.list, r.mode, n, v);
        }
    }
    return results;
}

// The report over the SQL Server test endpoint with a delay per round trip,
// beside the same without delay; the values by the records of the list.
std::map<int, QMap<QString, QString>> printRoundTrips(QTextStream &out)
{
    out << "\nRound trips over the SQL Server test endpoint (whole list):\n"
        << " records  delay  look-ahead  no delay s  delayed s  ratio  batches  program cpu s\n";
    out.flush();
    std::map<int, QMap<QString, QString>> results;
    for (const auto &[records, latencyMs] : {std::pair{10000, 1}, std::pair{1000, 20}}) {
        const bool alone = latencyMs == 1;
        const auto v = runChild({QStringLiteral("--round-trips"), QString::number(records),
            benchDatabase(records, QStringLiteral(TANNBUCH_SCHEMA_SQL)), QString::number(latencyMs),
            alone ? QStringLiteral("alone") : QString()});
        if (!v.contains(QStringLiteral("delayed"))) {
            out << records << ": failed\n";
            continue;
        }
        results[records] = v;
        for (const QString &suffix : {QString(), QStringLiteral("_alone")}) {
            if (!v.contains(u"plain"_s + suffix))
                continue;
            const double plain = v[u"plain"_s + suffix].toDouble();
            const double delayed = v[u"delayed"_s + suffix].toDouble();
            out << QStringLiteral("%1 %2 ms %3 %4 %5 %6 %7 %8\n")
                       .arg(records, 8)
                       .arg(latencyMs, 3)
                       .arg(suffix.isEmpty() ? QStringLiteral("on") : QStringLiteral("off"), 11)
                       .arg(plain, 11, 'f', 2)
                       .arg(delayed, 10, 'f', 2)
                       .arg(delayed / plain, 6, 'f', 2)
                       .arg(v[u"delayed"_s + suffix + u"_batches"_s], 8)
                       .arg(v[u"plain"_s + suffix + u"_cpu"_s].toDouble(), 14, 'f', 2);
        }
        out.flush();
    }
    return results;
}

// Every target, measured in this run, with met or missed; a target whose
// runs failed or were not asked for says so.
void printTargets(QTextStream &out, const Results &runs, const std::map<int, QMap<QString, QString>> &trips)
{
    const auto run = [&](const char *list, const char *mode, const char *key) {
        const auto it = runs.find({QLatin1String(list), QLatin1String(mode)});
        return it == runs.end() ? -1.0 : it->second.value(QLatin1String(key), QStringLiteral("-1")).toDouble();
    };
    const auto trip = [&](int records, const QString &key) {
        const auto it = trips.find(records);
        return it == trips.end() ? -1.0 : it->second.value(key, QStringLiteral("-1")).toDouble();
    };
    const auto line = [&](const QString &target, bool measured, const QString &result, bool met) {
        out << QStringLiteral("  %1: %2\n")
                   .arg(target, -78)
                   .arg(measured ? result + u"  "_s + verdict(met) : QStringLiteral("not measured"));
    };
    out << "\nTargets (provision DEMO holds every record of the list; every section on):\n";
    const double whole = run("10000", "whole", "wall");
    const double python = run("10000", "whole", "python");
    line(u"10,000 records whole in at most 0.6 s"_s, whole > 0, u"%1 s"_s.arg(whole, 0, 'f', 2), whole <= 0.6);
    line(u"10,000 records whole in at most 0.6 x python3-xlsxwriter"_s, whole > 0 && python > 0,
        u"%1 x (python %2 s)"_s.arg(whole / python, 0, 'f', 2).arg(python, 0, 'f', 2), whole <= 0.6 * python);
    const double lots = run("10000", "lots", "wall");
    line(u"10,000 records lot by lot in at most 0.8 s"_s, lots > 0, u"%1 s"_s.arg(lots, 0, 'f', 2), lots <= 0.8);
    for (const char *mode : {"whole", "lots"}) {
        const double small = run("10000", mode, "wall");
        const double large = run("100000", mode, "wall");
        line(u"%1: 100,000 records in at most 11 x the time of 10,000"_s.arg(QLatin1String(mode)),
            small > 0 && large > 0, u"%1 x"_s.arg(large / small, 0, 'f', 1), large <= 11 * small);
        const double kb = run("100000", mode, "peak_mb") * 1024.0 / 100000;
        line(u"%1: at most 3 KB per record at 100,000 records"_s.arg(QLatin1String(mode)), kb > 0,
            u"%1 KB"_s.arg(kb, 0, 'f', 2), kb <= 3.0);
    }
    const double client = trip(10000, u"plain_cpu"_s);
    const double embedded = run("10000", "whole", "cpu");
    line(u"endpoint, 10,000 records: program's processor time at most 2 x the embedded run's"_s,
        client > 0 && embedded > 0,
        u"%1 s against %2 s, %3 x"_s.arg(client, 0, 'f', 2).arg(embedded, 0, 'f', 2).arg(client / embedded, 0, 'f', 2),
        client <= 2 * embedded);
    const double plain = trip(10000, u"plain"_s);
    const double delayed = trip(10000, u"delayed"_s);
    line(u"endpoint, 10,000 records, 1 ms a round trip: at most 1.2 x no delay"_s, plain > 0 && delayed > 0,
        u"%1 x"_s.arg(delayed / plain, 0, 'f', 2), delayed <= 1.2 * plain);
    // Without look-ahead every statement is a round trip of its own: shown
    // beside, as what the look-ahead saves.
    const double alone = trip(10000, u"plain_alone"_s);
    if (alone > 0) {
        out << u"  (without look-ahead: %1 x no delay, %2 round trips)\n"_s
                   .arg(trip(10000, u"delayed_alone"_s) / alone, 0, 'f', 2)
                   .arg(trip(10000, u"delayed_alone_batches"_s), 0, 'f', 0);
    }
    const double slow = trip(1000, u"delayed"_s);
    line(u"endpoint, 1,000 records, 20 ms a round trip: at most 1.5 s"_s, slow > 0, u"%1 s"_s.arg(slow, 0, 'f', 2),
        slow <= 1.5);
    out << "  (the 40,000-record PDF target is printed by bench_pdf)\n";
}

} // namespace

} // namespace tannbuch

using namespace tannbuch;

int main(int argc, char **argv)
{
    prepareBenchEnvironment();
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QStringLiteral("--child"))
        return child(args.value(1).toInt(), args.value(2), args.value(3));
    if (args.value(0) == QStringLiteral("--round-trips"))
        return roundTripChild(args.value(1).toInt(), args.value(2), args.value(3).toInt(), args.value(4) == u"alone");

    QList<int> sizes;
    for (const QString &a : args)
        sizes << a.toInt();
    if (sizes.isEmpty())
        sizes = {1000, 10000, 50000, 100000};

    QTextStream out(stdout);
    const double load = [] {
        double loads[1] = {-1};
        return getloadavg(loads, 1) == 1 ? loads[0] : -1.0;
    }();
    out << "Load average at the start: " << load << "\n\n";
    const Results runs = printRuns(out, sizes);
    const auto trips = printRoundTrips(out);
    printTargets(out, runs, trips);
    return 0;
}
