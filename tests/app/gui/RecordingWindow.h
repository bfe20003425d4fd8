#pragma once

#include "DemoDatabase.h"
#include "DemoIni.h"
#include "DemoTemplates.h"
#include "app/ListBrowserModel.h"
#include "app/UnattendedPrint.h"
#include "common/TestSupport.h"
#include "common/WorkbookValidation.h"
#include "gui/F_Start.h"
#include "workbook/cells/Workbook.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace tannbuch {

// The demo's files, and copies of them a test may change.
namespace demofiles {

inline const QString demoIni = QStringLiteral(TANNBUCH_BUILD_DIR "/demo/kelmora.ini");

// The demo ini written into the folder with the keys' values replaced, and
// keys it lacks added at its end; the path of the copy.
inline QString demoIniWith(const QTemporaryDir &dir, QMap<QString, QString> values)
{
    QStringList lines = QString::fromLatin1(testsupport::readFile(demoIni)).split(QStringLiteral("\r\n"));
    EXPECT_GT(lines.size(), 1) << "no demo ini";
    for (QString &line : lines) {
        const QString key = line.section(u'=', 0, 0);
        if (values.contains(key))
            line = key + u'=' + values.take(key);
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        lines << it.key() + u'=' + it.value();
    const QString path = dir.filePath(QStringLiteral("kelmora.ini"));
    EXPECT_TRUE(testsupport::writeFile(path, lines.join(QStringLiteral("\r\n")).toLatin1()));
    return path;
}

// Writes a generated database: list 4711 of `records` records (0: the demo
// lists).
inline void writeGeneratedDatabase(const QString &path, int records)
{
    DemoDatabaseOptions options;
    options.schemaPath = QStringLiteral(TANNBUCH_SCHEMA_SQL);
    options.records = records;
    DemoDatabase::write(path, options);
}

// Writes the demo templates into folder/templates, keeping only the named
// one, and folder/kelmora.ini naming the database and them; the ini's path.
inline QString writeDemoFolder(const QString &folder, const QString &db, const QString &templateName)
{
    const QDir templates(folder + QStringLiteral("/templates"));
    EXPECT_EQ(writeDemoTemplates(templates.path()), 0);
    for (const QString &name : templates.entryList(QDir::Files)) {
        if (name != templateName)
            QFile::remove(templates.filePath(name));
    }
    const QString ini = folder + QStringLiteral("/kelmora.ini");
    EXPECT_EQ(writeDemoIni(ini, db, templates.path()), 0);
    return ini;
}

} // namespace demofiles

// A control of the main window, found by its name as the host names it.
template <typename T> T *control(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// The main window with its messages, warnings, status texts and progress
// kept instead of shown, taking the template `choice` (-1: "Abbrechen") the
// first time one is asked for. Messages take the program's own path, so an
// unattended run fails by them as it does for the host.
class RecordingWindow : public F_Start
{
public:
    QString chooseTemplate(const QStringList &templates) override
    {
        ++asked;
        return F_Start::chooseTemplate(templates);
    }
    void showStatus(const QString &text) override
    {
        statuses << text;
        F_Start::showStatus(text);
    }
    void showProgress(qint64 done, qint64 total) override
    {
        if (total > 0)
            progress << qMakePair(done, total);
        F_Start::showProgress(done, total);
    }
    // Starts the window on the command line (the demo ini alone unless
    // told); fails, naming what it was told, when start-up ended the program.
    ::testing::AssertionResult start(
        const QString &commandLine = QStringLiteral("|") + demofiles::demoIni + QStringLiteral("|||||"))
    {
        Form_Load(commandLine);
        if (!hasEnded())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "start-up ended: " << messages.join(u'\n').toStdString();
    }
    // Statements sent since the last call.
    QStringList takeStatements()
    {
        const QStringList sent = program().connection().journal().statements();
        program().connection().journal().clear();
        return sent;
    }

    QStringList messages;
    QStringList warnings;
    QStringList statuses;
    QList<QPair<qint64, qint64>> progress;
    QList<QStringList> offered; // the template choices shown
    int asked = 0; // templates asked for, whether shown or remembered
    int choice = 0;

protected:
    void present(const QString &text, bool warning) override { (warning ? warnings : messages) << text; }
    QString askTemplate(const QStringList &templates) override
    {
        offered << templates;
        return templates.value(choice);
    }
};

// Chooses the list in the list browser and presses "Ausdruck".
inline void printList(F_Start &w, const QString &number = QStringLiteral("4711"))
{
    auto *list = control<QTreeWidget>(w, "ListView1");
    const auto found = list->findItems(number, Qt::MatchExactly, 0);
    ASSERT_FALSE(found.isEmpty()) << number.toStdString();
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    QTest::mouseClick(control<QPushButton>(w, "B_OK"), Qt::LeftButton);
    QCoreApplication::processEvents();
}

// An unattended print with its messages, warnings and status texts kept
// instead of written to standard error; they fail the run as they do for the host.
class RecordingRun : public UnattendedPrint
{
public:
    void showStatus(const QString &text) override { statuses << text; }
    QStringList messages;
    QStringList warnings;
    QStringList statuses;

protected:
    void present(const QString &text, bool warning) override { (warning ? warnings : messages) << text; }
};

// A folder with a database and an ini file naming it; list 4711 is printed
// into it unattended, with provision DEMO, as the host would.
struct UnattendedFolder
{
    // The exit code of the run.
    int printUnattended(RecordingRun &w) const
    {
        w.run(QStringLiteral("|") + ini + QStringLiteral("|||4711|1|DEMO|") + dir.path() + u'/');
        // What a successful run saves must be a file a strict reader opens
        // unrepaired (a failed run may leave an earlier file of a test's own).
        if (w.exitCode() == 0 && QFile::exists(saved()))
            workbookvalidation::expectValid(saved());
        return w.exitCode();
    }
    QString saved() const { return dir.filePath(QStringLiteral("DEMO_4711.xlsx")); }

    QTemporaryDir dir;
    QString db;
    QString ini;
};

namespace demofiles {

// A copy of the demo database changed by the statements, with a copy of the
// demo ini naming it.
struct DemoCopy : UnattendedFolder
{
    explicit DemoCopy(const char *changes = nullptr, const QMap<QString, QString> &iniValues = {})
        : m_iniValues(iniValues)
    {
        db = dir.filePath(QStringLiteral("forst.sqlite"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(TANNBUCH_DEMO_DB), db));
        QFile::setPermissions(db, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (changes) {
            EXPECT_EQ(testsupport::changeSqliteDatabase(db, QString::fromUtf8(changes)), QString());
        }
        m_iniValues.insert(QStringLiteral("SQLSERVER"), db);
        ini = demoIniWith(dir, m_iniValues);
    }

    // Sets the value of an ini key.
    void setIniValue(const QString &key, const QString &value)
    {
        m_iniValues.insert(key, value);
        ini = demoIniWith(dir, m_iniValues);
    }

    // Leaves only the named demo template in the template folder.
    void useTemplate(const QString &name)
    {
        const QString folder = dir.filePath(QStringLiteral("vorlagen"));
        QDir().mkpath(folder);
        EXPECT_TRUE(QFile::copy(QStringLiteral(TANNBUCH_BUILD_DIR "/demo/templates/") + name, folder + u'/' + name));
        setIniValue(QStringLiteral("PathTemplates"), folder);
    }

    // Prints list 4711 of list type 1 unattended for the provision, as the
    // host would; the exit code of the run.
    int print(RecordingRun &w, const QString &provision) const
    {
        w.run(QStringLiteral("|") + ini + QStringLiteral("|||4711|1|") + provision + u'|' + dir.path() + u'/');
        return w.exitCode();
    }

private:
    QMap<QString, QString> m_iniValues;
};

} // namespace demofiles

// A line of the totals block: its row and the first number right of its
// label (of the last such line); row 0 and figure -1 when there is none.
inline std::pair<int, double> totalsLine(const Worksheet &sheet, const QString &label)
{
    std::pair<int, double> line{0, -1};
    for (const auto &[row, data] : sheet.rows()) {
        const auto caption
            = std::find_if(data.cells.begin(), data.cells.end(), [&](const Cell &c) { return c.text == label; });
        const auto value
            = std::find_if(caption, data.cells.end(), [](const Cell &c) { return c.type == CellType::Number; });
        if (value != data.cells.end())
            line = {row, value->number};
    }
    return line;
}

} // namespace tannbuch
