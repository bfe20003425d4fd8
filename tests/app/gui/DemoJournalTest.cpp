#include "app/UnattendedPrint.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tannbuch {

using namespace Qt::StringLiterals;

// The statements the unattended demo print sends, text for text, against the
// recorded journal in data/demo_journal.sql. A change of the report's SQL has
// to show up here; TANNBUCH_UPDATE_JOURNAL=1 records the file anew.
TEST(DemoJournal, UnattendedDemoPrintSendsTheRecordedStatements)
{
    QTemporaryDir out;
    UnattendedPrint run;
    run.program().connection().journal().setRecording(true);
    ASSERT_EQ(run.run(QStringLiteral("|" TANNBUCH_BUILD_DIR "/demo/kelmora.ini|||4711|1|DEMO|") + out.path()
                  + QLatin1Char('/')),
        0);
    const QString separator = u"\n-- next statement\n"_s;
    // The demo's newest business year is this year.
    QString sent = run.program().connection().journal().statements().join(separator) + QLatin1Char('\n');
    sent.replace(QString::number(QDate::currentDate().year()), u"<this year>"_s);

    QFile recorded(QStringLiteral(TANNBUCH_SOURCE_DIR "/tests/app/gui/data/demo_journal.sql"));
    if (qEnvironmentVariableIntValue("TANNBUCH_UPDATE_JOURNAL") == 1) {
        ASSERT_TRUE(recorded.open(QIODevice::WriteOnly));
        recorded.write(sent.toUtf8());
        return;
    }
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    EXPECT_EQ(sent.toStdString(), QString::fromUtf8(recorded.readAll()).toStdString());
}

} // namespace tannbuch
