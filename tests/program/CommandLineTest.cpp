// The program as a process: what it answers at once, how an interactive
// start without a display ends instead of running unseen, how an unattended
// failure reaches the host, the template check and the template preview
// that prints the demo list to a PDF.
#include "common/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace {

struct Ran
{
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program without a display; display names the X display to offer.
Ran runProgram(const QStringList &arguments, const QString &display = QString(), int waitMs = 15000)
{
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        env.remove(name);
    if (!display.isEmpty())
        env.insert(u"DISPLAY"_s, display);
    env.insert(u"TMPDIR"_s, dir.path());
    env.insert(u"XDG_STATE_HOME"_s, dir.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TANNBUCH_PROGRAM), arguments);
    Ran ran;
    // A start that does not end by itself is what these tests catch.
    ran.finished = p.waitForFinished(waitMs);
    if (!ran.finished) {
        p.kill();
        p.waitForFinished();
    }
    ran.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    ran.out = QString::fromUtf8(p.readAllStandardOutput());
    ran.err = QString::fromUtf8(p.readAllStandardError());
    return ran;
}

} // namespace

// Help and version answer on standard output and end with 0, also without
// a display; the help names the fields, the program's own ini keys, its
// environment and its exit codes.
TEST(ProgramCommandLine, HelpAndVersionAnswerAtOnce)
{
    const QStringList help{u"Bereitstellung"_s, u"--preview"_s, u"Speicherordner"_s, u"SavePdf"_s, u"InstanceWait"_s,
        u"QueryTimeout"_s, u"RunLog"_s, u"TANNBUCH_PRINT_COMMAND"_s, u"Rückgabewerte"_s, u"--check-template"_s};
    const struct
    {
        QString argument;
        QStringList said;
    } cases[] = {
        {u"--help"_s, help},
        {u"-h"_s, help},
        {u"--version"_s, {u"Tannbuch " TANNBUCH_VERSION "\n"_s}},
    };
    for (const auto &c : cases) {
        const Ran ran = runProgram({c.argument});
        ASSERT_TRUE(ran.finished) << c.argument.toStdString();
        EXPECT_EQ(ran.exitCode, 0) << c.argument.toStdString() << ran.err.toStdString();
        for (const QString &word : c.said)
            EXPECT_TRUE(ran.out.contains(word)) << c.argument.toStdString() << " lacks " << word.toStdString();
    }
}

// A window start without a display, or with one that cannot be opened, says
// so and fails. The words of help count only as the whole command line: in
// the host's fields, or with more after them, they start the window.
TEST(ProgramCommandLine, AWindowStartWithoutADisplayFailsWithItsReason)
{
    const struct
    {
        QStringList arguments;
        QString display;
    } cases[] = {
        {{}, QString()}, {{u"| | | | | | "_s}, QString()}, // a provision of one blank
        {{u"|--help"_s}, QString()}, {{u"--help"_s, u"Liste"_s}, QString()},
        {{u"||||4711"_s}, u":97"_s}, // no X server there
    };
    for (const auto &c : cases) {
        const std::string name = c.arguments.join(u' ').toStdString() + " DISPLAY=" + c.display.toStdString();
        const Ran ran = runProgram(c.arguments, c.display);
        ASSERT_TRUE(ran.finished) << name;
        EXPECT_EQ(ran.exitCode, 2) << name << ran.err.toStdString();
        EXPECT_TRUE(ran.err.contains(u"Kein Bildschirm verfügbar:"_s)
            && ran.err.contains(u"für einen Ausdruck ohne Fenster eine Bereitstellung angeben"_s))
            << name << ran.err.toStdString();
        EXPECT_TRUE(ran.out.isEmpty()) << name << ran.out.toStdString();
    }
}

// An unattended run that fails tells the host without a display: on
// standard error, and by its exit code.
TEST(ProgramCommandLine, AnUnattendedFailureReachesTheHost)
{
    QTemporaryDir dir;
    const Ran ran = runProgram({u"|"_s + dir.filePath(u"fehlt.ini"_s) + u"|||4711|1|DEMO|"_s});
    ASSERT_TRUE(ran.finished);
    EXPECT_NE(ran.exitCode, 0);
    EXPECT_TRUE(ran.err.contains(u"Kelmora.ini konnte nicht geöffnet werden!"_s)) << ran.err.toStdString();
}

// The template check needs no display and answers by its exit code: 0 for
// the demo template with the demo's ini (its summary lists sections and
// columns in order), 1 when an ini lacks the header texts, 2 for a file that
// is no template or not there.
TEST(ProgramCommandLine, CheckTemplateAnswersByItsExitCode)
{
    QTemporaryDir dir;
    QFile emptyIni(dir.filePath(u"leer.ini"_s));
    ASSERT_TRUE(emptyIni.open(QIODevice::WriteOnly));
    emptyIni.close();
    QFile text(dir.filePath(u"Tannbuch.xltx"_s));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("kein Zip") > 0);
    text.close();
    const QString demo = QStringLiteral(TANNBUCH_BUILD_DIR "/demo/templates/Tannbuch.xltx");
    const struct
    {
        QStringList arguments;
        int exitCode;
        QStringList said; // on standard output, or on standard error for 2
    } cases[] = {
        {{demo, QStringLiteral(TANNBUCH_BUILD_DIR "/demo/kelmora.ini")}, 0,
            {u"Keine Auffälligkeiten."_s, u"Teile: an lEinzeln, lVerdichtet"_s,
                u"L „KUB.KL.“ (LOGS.KKLASSE), M „RINDE“ (ENTRINDUNG), N „ZUSATZTEXT 1“"_s}},
        {{demo, emptyIni.fileName()}, 1,
            {u"Blatt Einstellungen, Zeile 52, Zelle B52: Die ini-Datei nennt keinen Wert für Headerline1"_s}},
        {{dir.filePath(u"fehlt.xltx"_s)}, 2, {u"fehlt.xltx"_s}},
        {{text.fileName()}, 2, {u"Tannbuch.xltx"_s}},
        {{}, 2, {u"Aufruf: tannbuch --check-template"_s}},
    };
    for (const auto &c : cases) {
        const std::string name = c.arguments.join(u' ').toStdString();
        const Ran ran = runProgram(QStringList{u"--check-template"_s} + c.arguments);
        ASSERT_TRUE(ran.finished) << name;
        EXPECT_EQ(ran.exitCode, c.exitCode) << name << ran.out.toStdString() << ran.err.toStdString();
        for (const QString &word : c.said)
            EXPECT_TRUE((c.exitCode == 2 ? ran.err : ran.out).contains(word))
                << name << " lacks " << word.toStdString() << ":\n"
                << ran.out.toStdString() << ran.err.toStdString();
    }
}

// The preview prints the demo list with the template, from a demo database
// of its own, without a display; a preview that fails says why and leaves no
// PDF.
TEST(ProgramCommandLine, PreviewPrintsTheDemoListOrLeavesNoPdf)
{
    QTemporaryDir out;
    const QString pdf = out.filePath(u"vorschau.pdf"_s);
    const QString demoTemplate = QStringLiteral(TANNBUCH_BUILD_DIR "/demo/templates/Tannbuch.xltx");
    const struct
    {
        QStringList arguments;
        int exitCode;
        QString said;
    } cases[] = {
        {{u"--preview"_s, pdf, u"/nicht/da/Tannbuch.xltx"_s}, 1, u"lässt sich nicht lesen"_s},
        {{u"--preview"_s, pdf, demoTemplate, u"--list"_s}, 1, u"--list verlangt genau eine Liste"_s},
        {{u"--preview"_s, pdf}, 1, u"Es fehlen die PDF-Datei oder die Vorlage"_s},
        {{u"--preview"_s, pdf, demoTemplate}, 0, QString()},
    };
    for (const auto &c : cases) {
        const std::string name = c.arguments.join(u' ').toStdString();
        const Ran ran = runProgram(c.arguments, QString(), 180000);
        ASSERT_TRUE(ran.finished) << name;
        EXPECT_EQ(ran.exitCode, c.exitCode) << name << ran.err.toStdString();
        EXPECT_TRUE(ran.err.contains(c.said)) << name << ran.err.toStdString();
        EXPECT_EQ(QFile::exists(pdf), c.exitCode == 0) << name;
    }
    const QString pages
        = testsupport::toolOutput(u"pdfinfo"_s, {pdf}).section(u"Pages:"_s, 1).section(u'\n', 0, 0).trimmed();
    EXPECT_GT(pages.toInt(), 0) << pages.toStdString();
    const QString pageOne = testsupport::toolOutput(u"pdftotext"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, pdf, u"-"_s});
    EXPECT_TRUE(pageOne.contains(u"4711"_s)) << pageOne.toStdString();
}

} // namespace tannbuch
