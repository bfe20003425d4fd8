// A template's report printed to a PDF without a window: the list named
// against the ini's connection, and the failures that must leave no PDF (and
// an earlier one untouched) nor anything else behind.
#include "app/TemplatePreview.h"

#include "DemoFolder.h"
#include "RecordingWindow.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;
using namespace demofiles;

// Each case prints with the demo template into a PDF where an earlier one
// lies; only a good preview replaces it. The ini's header lines head the
// report, also of the demo list.
TEST(TemplatePreview, WritesTheListOrLeavesEverythingAsItWas)
{
    const QByteArray earlier = "%PDF-1.4 ein früherer Bericht";
    const QString demoTemplate = QStringLiteral(TANNBUCH_BUILD_DIR "/demo/templates/Tannbuch.xltx");
    const struct
    {
        const char *name;
        QString templatePath; // empty: a copy of the demo template
        QString list;
        bool pdfIsTemplate;
        QString said; // the message; empty: the PDF is written
    } cases[] = {
        {"list against the ini", QString(), u"4711"_s, false, QString()},
        {"list of an earlier year", QString(), u"4712"_s, false, QString()},
        {"demo list", QString(), QString(), false, QString()},
        {"template missing", u"/nicht/da/Tannbuch.xltx"_s, u"4711"_s, false, u"lässt sich nicht lesen"_s},
        {"list not found", QString(), u"9999"_s, false,
            u"Die Liste 9999 wurde nicht gefunden (Forstwirtschaftsjahr 2026, 2025, 2024 oder 2023)"_s},
        {"PDF onto the template", QString(), u"4711"_s, true, u"würde die Datei"_s},
    };
    DemoCopy copy(nullptr, {{u"Headerline1"_s, u"Revier Vorschau"_s}});
    const DemoWriter writeDemo
        = [](const QString &folder) { return writeDemoFolder(folder, QStringLiteral(TANNBUCH_SCHEMA_SQL)); };
    QTemporaryDir work;
    const testsupport::EnvironmentGuard tmp("TMPDIR", QFile::encodeName(work.path()));
    const QString templateCopy = copy.dir.filePath(u"Vorlage.xltx"_s);
    ASSERT_TRUE(QFile::copy(demoTemplate, templateCopy));
    const auto listed = [&copy] { return QDir(copy.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); };
    QStringList files = listed() << u"vorschau.pdf"_s;
    files.sort();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString pdf = c.pdfIsTemplate ? templateCopy : copy.dir.filePath(u"vorschau.pdf"_s);
        if (!c.pdfIsTemplate) {
            ASSERT_TRUE(testsupport::writeFile(pdf, earlier));
        }
        const QByteArray before = testsupport::readFile(pdf);

        TemplatePreviewRequest request;
        request.templatePath = c.templatePath.isEmpty() ? templateCopy : c.templatePath;
        request.pdfPath = pdf;
        request.iniPath = copy.ini;
        request.listNumber = c.list;
        const TemplatePreviewOutcome outcome = RunTemplatePreview(request, writeDemo);

        EXPECT_EQ(outcome.written, c.said.isEmpty()) << outcome.messages.join(u'\n').toStdString();
        if (c.said.isEmpty()) {
            EXPECT_TRUE(outcome.messages.isEmpty()) << outcome.messages.join(u'\n').toStdString();
            const QString page = testsupport::toolOutput(u"pdftotext"_s, {u"-l"_s, u"1"_s, pdf, u"-"_s});
            EXPECT_TRUE(page.contains(c.list.isEmpty() ? u"4711"_s : c.list) && page.contains(u"Revier Vorschau"_s))
                << page.toStdString();
        } else {
            EXPECT_TRUE(outcome.messages.join(u'\n').contains(c.said)) << outcome.messages.join(u'\n').toStdString();
            EXPECT_EQ(testsupport::readFile(pdf), before);
        }
        // No work folder, no workbook, no temporary file stays.
        EXPECT_EQ(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        EXPECT_EQ(listed(), files);
    }
}

} // namespace tannbuch
