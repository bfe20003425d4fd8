#pragma once

// Values of the host's command line that statements take without quotes,
// and what an attacker puts there instead. Shared by every test that runs the
// program against a database (embedded or over the network), so each engine
// sees the same attacks.
#include "RecordingWindow.h"
#include "db/SqlTokenizer.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace tannbuch {

namespace hostile {

// Command-line fields that reach statements as they stand.
enum class Field { AccessLevel = 2, BusinessYearColumn = 3, ListType = 5 };

struct Case
{
    Field field;
    QString value;
};

// Every hostile value of each field; none may run a statement.
inline std::vector<Case> cases()
{
    using namespace Qt::StringLiterals;
    const QStringList numbers
        = {u"1;DELETE FROM LOGS"_s, u"1 OR 1=1"_s, u"1--"_s, u"2/*x*/"_s, u"0 UNION SELECT 1"_s, u"1 2"_s, u"0x10"_s,
            u"1e3"_s, u"-"_s, u"99999999999"_s, u"\u0661"_s, u"\uff11"_s}; // an Arabic-Indic and a full-width one
    const QStringList columns = {u"RELTABLE1 = reltable.id WHERE L.LISTE = '4720' GROUP BY L.LISTE --"_s,
        u"reltable1;DROP TABLE LOGS"_s, u"RELTABLE1 /*"_s, u"RELTABLE0"_s, u"RELTABLE11"_s, u"RELTABLE01"_s,
        u"RELTABLE 1"_s, u"RELTABLE"_s, u"LISTE"_s, u"RELTABLE\uff11"_s};
    std::vector<Case> all;
    for (const QString &v : numbers) {
        all.push_back({Field::AccessLevel, v});
        all.push_back({Field::ListType, v});
    }
    for (const QString &v : columns)
        all.push_back({Field::BusinessYearColumn, v});
    return all;
}

// The word of the refusal message that names the field.
inline QString fieldWord(Field field)
{
    switch (field) {
    case Field::AccessLevel:
        return QStringLiteral("Zugriffsstufe");
    case Field::BusinessYearColumn:
        return QStringLiteral("Geschäftsjahresspalte");
    case Field::ListType:
        return QStringLiteral("Listenart");
    }
    return QString();
}

// An unattended print of list 4711 (provision DEMO) into the folder, with
// the connection string in field 0 and the hostile value in its field.
inline QString commandLine(
    const QString &connectionString, const QString &iniPath, const Case &c, const QString &saveFolder)
{
    QStringList fields = {connectionString, iniPath, QString(), QString(), QStringLiteral("4711"), QStringLiteral("1"),
        QStringLiteral("DEMO"), saveFolder};
    fields[int(c.field)] = c.value;
    return fields.join(QLatin1Char('|'));
}

// Why the statement text could run more than one statement: a ";", a comment
// or an unterminated literal outside quotes; empty when it is one statement.
inline QString secondStatementIn(const QString &sql)
{
    for (const SqlTokenizer::Token &t : SqlTokenizer::tokenize(sql)) {
        if (t.unterminated)
            return QStringLiteral("unterminated ") + t.text.left(40);
        if (t.kind == SqlTokenizer::Kind::Comment)
            return QStringLiteral("comment ") + t.text.left(40);
        if (t.kind == SqlTokenizer::Kind::Symbol && t.text.contains(u';'))
            return QStringLiteral("\";\"");
    }
    return QString();
}

// Runs every hostile case unattended against the database of the connection
// string (templates from the ini file): each run fails with one message that
// names the field, sends no statement and saves nothing.
inline void expectRefusedBeforeAnyStatement(const QString &connectionString, const QString &iniPath)
{
    for (const Case &c : cases()) {
        QTemporaryDir folder;
        RecordingRun w;
        w.program().connection().journal().setRecording(true);
        const int exitCode = w.run(commandLine(connectionString, iniPath, c, folder.path() + u'/'));
        const std::string label = fieldWord(c.field).toStdString() + " = " + c.value.toStdString();
        EXPECT_NE(exitCode, 0) << label;
        EXPECT_EQ(w.program().connection().journal().count(), 0)
            << label << ": " << w.program().connection().journal().statements().join(u'\n').toStdString();
        ASSERT_EQ(w.messages.size(), 1) << label << ": " << w.messages.join(u'\n').toStdString();
        EXPECT_TRUE(w.messages.first().contains(fieldWord(c.field))) << w.messages.first().toStdString();
        EXPECT_TRUE(QDir(folder.path()).isEmpty()) << label;
    }
}

} // namespace hostile

} // namespace tannbuch
