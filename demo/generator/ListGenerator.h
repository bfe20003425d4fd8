#pragma once

#include "LogRow.h"
#include "MasterData.h"
#include "Random.h"
#include "SqliteWriter.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tannbuch {

// Head data of one timber list: the fields every record of the list repeats
// and the list's LISTENKOPF row.
struct ListHead
{
    QString number{}; // LISTE
    QString date{}; // LISTDATUM, yyyy-MM-dd
    int listType = DemoIds::Stammholz;
    int year = DemoIds::Year2026; // RELTABLE1: the business year
    int district = 0; // RELTABLE2, 0 for none
    int contract = 0; // RELTABLE3
    int certificate = 0; // RELTABLE4
    QString additionalText{}; // LISTZUSTXT
    int salesType = DemoIds::FrameContract;
    QString offer{}; // ANGEBOT
    int accessLevel = 0; // LISTENKOPF.ID_ACCESS_LEVELS, 0 for none
    QString headText{}; // LISTENKOPFZUSTXT
    QStringList texts{}; // TEXT1 ..
    std::vector<std::optional<double>> numbers{}; // NUMBER1 ..
    QStringList dates{}; // DATE1 .., yyyy-MM-dd, null for none
};

// How the records of a pile leave the forest.
enum class Dispatch { None, Truck, Rail };

// Where a pile lies and what the records of the pile share.
struct PileSite
{
    QString lot{}; // LOS
    QString pile{}; // POLTNR; null for records without a pile
    int location = 1; // ID_WALDORT
    bool coordinates = true; // pile coordinates near the location's centre
    QString storage{}; // ZUSTEXT2: where the pile lies
    QString note{}; // ZUSTEXT3
    QString damage{}; // ZUSTEXT4: damage cause, marks calamity wood
    QString release{}; // ZUSTEXT5
    QString colour{}; // FARBE: marking colour
    Dispatch dispatch = Dispatch::None;
    int owner = 0; // forest owner in role 4, 0 for none
    // Overrides of the list's values for wood sold on behalf of an owner.
    int salesType = 0;
    int district = 0;
    bool certified = true;
    QString listText{};
};

enum class StackMethod {
    Volume, // stacked volume only, no heights stored
    Heights, // single heights along the front face
    TwoPart // measurement head with parts A, B and bearers, front and back heights
};

// One stacked-wood record (type 2).
struct StackShape
{
    QString species{};
    QString grade{};
    StackMethod method = StackMethod::Volume;
    double woodLength = 2.0; // LAENGE: length of the billets in m
    int heights = 0; // front heights of the older method, 0 for a random count
    int nullHeightAt = -1; // index of a height left unread, -1 for none
    bool back = true; // two-part method: back face measured too
    int pieces = 1; // STK
};

// Writes timber lists record by record: LISTENKOPF, LOGS and the rows that
// hang off a record (prices, stack heights, jacket samples, transports).
// Volumes always follow from the stored measures. The caller holds the
// transaction; every write throws GeneratorError on failure.
class ListGenerator
{
public:
    struct RecordRef
    {
        qint64 id;
        QString lot;
        int recordType;
    };

    ListGenerator(SqliteWriter &db, const MasterData &master, quint64 seed);
    ~ListGenerator();

    void beginList(const ListHead &head);
    // Starts a new pile; the records of the previous pile are written.
    void beginPile(const PileSite &site);
    // Writes the pending records; called by beginPile and beginList too.
    void finishPile();

    // Each adds records to the current pile and returns their number.
    int addLogs(const QStringList &species, const QString &grade, int count);
    int addShortLogs(const QString &species, int count);
    int addStack(const StackShape &shape);
    int addPieces(const QString &species, int count);
    int addWeights(const QString &species, const QString &grade, DemoIds::Unit unit, int count);
    // A jacket measurement: sampleLogs measured logs and one extrapolated
    // record per class of the sample, each class multiplied by factor.
    // Adds nothing and returns 0 when it would need more than maxRecords.
    int addJacket(const QStringList &species, int sampleLogs, int factor, int maxRecords);

    // The records of the current list written or pending so far.
    const std::vector<RecordRef> &listRecords() const { return m_listRecords; }

    Random &random() { return m_random; }

private:
    struct PendingRecord
    {
        LogRow row;
        qint64 id;
    };

    LogRow newRecord(int recordType, const QString &species, const QString &grade);
    void finishRecord(LogRow &row);
    void writePrices(const LogRow &row);
    void writeTransports();
    void writeHeights(SqliteStatement &insert, qint64 logId, const std::vector<std::optional<double>> &heights);
    std::vector<std::optional<double>> measureHeights(int count, int nullAt, double mean);
    QString pickGrade(int weightA, int weightB, int weightC, int weightD);
    QString dateAfter(int days) const;

    SqliteWriter &m_db;
    const MasterData &m_master;
    Random m_random;

    SqliteStatement m_insertHead;
    SqliteStatement m_insertLog;
    SqliteStatement m_insertPrices;
    SqliteStatement m_insertFrontHeight;
    SqliteStatement m_insertBackHeight;
    SqliteStatement m_insertStackHead;
    SqliteStatement m_insertJacketLog;
    SqliteStatement m_insertTransport;
    SqliteStatement m_insertWagon;

    ListHead m_head;
    PileSite m_site;
    QString m_coordinate1;
    QString m_coordinate2;
    std::vector<PendingRecord> m_pending;
    std::vector<RecordRef> m_listRecords;

    qint64 m_nextLogId = 1;
    int m_nextLogNumber = 1; // BLNR, counted per list
    int m_loadsInList = 0;
    int m_nextJacket = 1;
    int m_nextDeliveryNote = 1;
    int m_nextWagon = 1;
};

} // namespace tannbuch
