#include "ListGenerator.h"

#include "GeneratorError.h"
#include "TimberMath.h"

#include <QDate>

#include <cmath>
#include <map>

namespace tannbuch {

using namespace LogColumn;
using namespace DemoIds;
using TimberMath::roundTo;

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");

QString dateTime(const QString &date)
{
    return date.isNull() ? QString() : date + QStringLiteral(" 00:00:00");
}

SqlValue optionalId(int id)
{
    return id > 0 ? SqlValue(id) : SqlValue();
}

QStringList numbered(const QString &prefix, int count, const QString &suffix = QString())
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << prefix + QString::number(i) + suffix;
    return names;
}

// Remarks a measurer writes on single logs and on stacks.
const QStringList &logRemarks()
{
    static const QStringList remarks = {
        QStringLiteral("Käferbefall"),
        QStringLiteral("Rotfäule am Stammfuß"),
        QStringLiteral("Blitzriss"),
        QStringLiteral("Zwiesel"),
        QStringLiteral("Drehwuchs"),
        QStringLiteral("Krümmung"),
        QStringLiteral("Frostriss"),
        QStringLiteral("Mondring"),
        QStringLiteral("Nagel eingewachsen"),
        QStringLiteral("Harzgallen"),
        QStringLiteral("Ringschäle"),
        QStringLiteral("Blaue Farbe"),
    };
    return remarks;
}

const QStringList &stackRemarks()
{
    static const QStringList remarks = {
        QStringLiteral("Teilweise Kronenholz"),
        QStringLiteral("Schneebruch"),
        QStringLiteral("Unterlagen mitvermessen"),
    };
    return remarks;
}

const QStringList &trucks()
{
    static const QStringList plates = {QStringLiteral("RO-WI 412"), QStringLiteral("RO-WI 415"),
        QStringLiteral("TS-HB 77"), QStringLiteral("MB-LK 208")};
    return plates;
}

double mean(const std::vector<std::optional<double>> &values)
{
    double sum = 0.0;
    int count = 0;
    for (const std::optional<double> &v : values) {
        if (v) {
            sum += *v;
            ++count;
        }
    }
    return count ? sum / count : 0.0;
}

} // namespace

ListGenerator::ListGenerator(SqliteWriter &db, const MasterData &master, quint64 seed)
    : m_db(db)
    , m_master(master)
    , m_random(seed)
    , m_insertHead(db.prepareInsert(QStringLiteral("LISTENKOPF"),
          QStringList{QStringLiteral("LISTE"), QStringLiteral("ID_ACCESS_LEVELS"), QStringLiteral("LISTENKOPFZUSTXT")}
              + numbered(QStringLiteral("TEXT"), 15) + numbered(QStringLiteral("NUMBER"), 10)
              + numbered(QStringLiteral("DATE"), 5)))
    , m_insertLog(db.prepareInsert(QStringLiteral("LOGS"), LogRow::columnNames()))
    , m_insertPrices(db.prepareInsert(QStringLiteral("LOGS_RECH"),
          QStringList{QStringLiteral("ID_LOG"), QStringLiteral("R_KUNDE")}
              + numbered(QStringLiteral("A"), 8, QStringLiteral("_KUNDE")) + QStringList{QStringLiteral("R_PREIS")}
              + numbered(QStringLiteral("A"), 8, QStringLiteral("_PREIS"))))
    , m_insertFrontHeight(db.prepareInsert(
          QStringLiteral("SCHICHT_HOEHEN"), {QStringLiteral("ID_LOG"), QStringLiteral("NR"), QStringLiteral("HEIGHT")}))
    , m_insertBackHeight(db.prepareInsert(QStringLiteral("SCHICHT_HOEHEN_HINTEN"),
          {QStringLiteral("ID_LOG"), QStringLiteral("NR"), QStringLiteral("HEIGHT")}))
    , m_insertStackHead(db.prepareInsert(QStringLiteral("SCHICHT_HOEHEN_KOPF"),
          {QStringLiteral("ID_LOG"), QStringLiteral("LANG_V"), QStringLiteral("LANG_A_V"), QStringLiteral("LANG_B_V"),
              QStringLiteral("HOEHE_B_V"), QStringLiteral("LANG_H"), QStringLiteral("LANG_A_H"),
              QStringLiteral("LANG_B_H"), QStringLiteral("HOEHE_B_H"), QStringLiteral("HOEHE_A"),
              QStringLiteral("LANG_A"), QStringLiteral("LANG_B"), QStringLiteral("HOEHE_B"), QStringLiteral("VOL_A"),
              QStringLiteral("VOL_B"), QStringLiteral("VOL_C"), QStringLiteral("VOL")}))
    , m_insertJacketLog(db.prepareInsert(QStringLiteral("MANTEL"),
          {QStringLiteral("ID_MANTEL"), QStringLiteral("HA"), QStringLiteral("HS"), QStringLiteral("GKL"),
              QStringLiteral("STKL"), QStringLiteral("LANGE"), QStringLiteral("DURCH"), QStringLiteral("STUCK"),
              QStringLiteral("KUBATUR"), QStringLiteral("ENTRINDUNG"), QStringLiteral("RINDE")}))
    , m_insertTransport(db.prepareInsert(QStringLiteral("TRANSPORTLOGISTIK"),
          {QStringLiteral("ID_TRANSPORTLOGISTIK_WAGGON"), QStringLiteral("LOS"), QStringLiteral("STUCK"),
              QStringLiteral("KUBATUR"), QStringLiteral("EINGANGS_DATUM"), QStringLiteral("Z_TEXT_1"),
              QStringLiteral("Z_TEXT_2"), QStringLiteral("Z_DATUM_1"), QStringLiteral("PID"), QStringLiteral("POLTER"),
              QStringLiteral("LKW_NR"), QStringLiteral("BAHNHOF"), QStringLiteral("LIEFERSCHEIN_NR")}))
    , m_insertWagon(db.prepareInsert(
          QStringLiteral("TRANSPORTLOGISTIK_WAGGON"), {QStringLiteral("DATUM_VERLADE"), QStringLiteral("WAGGON_NR")}))
{ }

ListGenerator::~ListGenerator() = default;

void ListGenerator::beginList(const ListHead &head)
{
    finishPile();
    m_head = head;
    m_nextLogNumber = 1;
    m_loadsInList = 0;
    m_listRecords.clear();

    std::vector<SqlValue> values = {head.number, optionalId(head.accessLevel), head.headText};
    for (int i = 0; i < 15; ++i)
        values.push_back(i < head.texts.size() ? SqlValue(head.texts[i]) : SqlValue());
    for (std::size_t i = 0; i < 10; ++i)
        values.push_back(i < head.numbers.size() ? SqlValue(head.numbers[i]) : SqlValue());
    for (int i = 0; i < 5; ++i)
        values.push_back(i < head.dates.size() ? SqlValue(dateTime(head.dates[i])) : SqlValue());
    m_insertHead.run(values);
}

void ListGenerator::beginPile(const PileSite &site)
{
    finishPile();
    m_site = site;
    m_coordinate1 = QString();
    m_coordinate2 = QString();
    if (site.coordinates && !site.pile.isNull()) {
        // Piles lie along the roads of their compartment, within half a
        // kilometre of its centre.
        const MasterData::ForestLocation &location = m_master.forestLocation(site.location);
        m_coordinate1 = QString::number(location.easting + m_random.between(-450, 450));
        m_coordinate2 = QString::number(location.northing + m_random.between(-450, 450));
    }
}

void ListGenerator::finishPile()
{
    if (m_pending.empty())
        return;
    writeTransports();
    for (const PendingRecord &record : m_pending)
        m_insertLog.run(record.row.data(), LogColumn::Count);
    m_pending.clear();
}

QString ListGenerator::dateAfter(int days) const
{
    const QDate date = QDate::fromString(m_head.date, dateFormat);
    if (!date.isValid())
        throw GeneratorError(QStringLiteral("Invalid list date ") + m_head.date);
    return date.addDays(days).toString(dateFormat);
}

LogRow ListGenerator::newRecord(int recordType, const QString &species, const QString &grade)
{
    const MasterData::Species &wood = m_master.species(species);
    m_master.grade(grade); // fails early for an unknown grade
    const MasterData::ForestLocation &location = m_master.forestLocation(m_site.location);

    LogRow row;
    row[ID_LOG] = m_nextLogId++;
    row[LISTE] = m_head.number;
    row[LISTDATUM] = dateTime(m_head.date);
    row[LISTZUSTXT] = m_site.listText.isNull() ? m_head.additionalText : m_site.listText;
    row[LISTENART] = m_head.listType;
    row[LOS] = m_site.lot;
    row[POLTNR] = m_site.pile;
    row[DSART] = recordType;
    row[BLNR] = m_nextLogNumber++;
    row[KLST] = 1;
    row[HA] = species;
    row[HS] = grade;
    row[ID_WALDORT] = m_site.location;
    row[ZUSTEXT1] = location.road;
    row[ZUSTEXT2] = m_site.storage;
    row[ZUSTEXT3] = m_site.note;
    row[ZUSTEXT4] = m_site.damage;
    row[ZUSTEXT5] = m_site.release;
    row[COORDINATE1] = m_coordinate1;
    row[COORDINATE2] = m_coordinate2;
    row[FARBE] = m_site.colour;
    row[ANGEBOT] = m_head.offer;
    row[EST] = m_site.damage.isNull() ? QStringLiteral("N") : QStringLiteral("K");
    row[RUCKE] = wood.conifer ? QStringLiteral("Forwarder") : QStringLiteral("Seilschlepper");
    row[FREI1] = wood.conifer ? QStringLiteral("Harvester") : QStringLiteral("motormanuell");
    row[RELTABLE1] = m_head.year;
    row[RELTABLE2] = optionalId(m_site.district > 0 ? m_site.district : m_head.district);
    row[RELTABLE3] = optionalId(m_head.contract);
    row[RELTABLE4] = optionalId(m_site.certified ? m_head.certificate : 0);
    row[ID_VERKAUFSART] = m_site.salesType > 0 ? m_site.salesType : m_head.salesType;
    return row;
}

void ListGenerator::finishRecord(LogRow &row)
{
    row[ZUGANG] = row[KUBATUR];
    if (row[STKL].isText())
        row[MSZ] = m_master.rate(row[HA].text(), row[HS].text(), row[STKL].text(), int(row[DSART].integer()));
    const qint64 id = row[ID_LOG].integer();
    writePrices(row);
    m_pending.push_back({row, id});
    m_listRecords.push_back({id, m_site.lot, int(row[DSART].integer())});
}

void ListGenerator::writePrices(const LogRow &row)
{
    const MasterData::Species &wood = m_master.species(row[HA].text());
    const QString group = m_master.grade(row[HS].text()).rateGroup;

    // The buyer by assortment: saw logs to the sawmills, pulpwood to the
    // paper mill, firewood and chips to the heating plant.
    int buyer = HeatingPlant;
    double price = 30.0;
    if (group == QStringLiteral("ST") || group == QStringLiteral("FU") || group == QStringLiteral("SG")) {
        buyer = wood.conifer ? SawmillHuber : SawmillStadler;
        price = 60.0;
    } else if (group == QStringLiteral("IH")) {
        buyer = PaperMillSuedholz;
        price = 45.0;
    } else if (group == QStringLiteral("BR")) {
        price = 55.0;
    }
    if (row[MSZ].isReal()) {
        // The rate is the price of quality B; better and worse classes are
        // paid with a surcharge or a discount.
        const QString quality = row[GKL].isText() ? row[GKL].text() : QString();
        double factor = 1.0;
        if (quality == QStringLiteral("A"))
            factor = 1.25;
        else if (quality == QStringLiteral("C"))
            factor = 0.8;
        else if (quality == QStringLiteral("D"))
            factor = 0.55;
        price = roundTo(row[MSZ].real() * factor, 2);
    }

    SqlValue haulier;
    SqlValue haulage;
    if (m_site.dispatch == Dispatch::Truck) {
        haulier = int(HaulierWimmer);
        haulage = 11.5;
    } else if (m_site.dispatch == Dispatch::Rail) {
        haulier = int(RailLogistics);
        haulage = 9.8;
    }

    const SqlValue none;
    m_insertPrices.run(
        {row[ID_LOG], buyer, haulier, int(ContractorBerger), int(SkidderLechner), optionalId(m_site.owner), none, none,
            none, none, price, haulage, wood.conifer ? 16.0 : 24.0, 7.5, none, none, none, none, none});
}

void ListGenerator::writeTransports()
{
    if (m_site.dispatch == Dispatch::None)
        return;

    // Records go into loads of at most one truck or wagon each; a weighed
    // record is a load of its own (it was weighed on its truck).
    const double capacity = 26.0;
    std::vector<std::vector<PendingRecord *>> loads;
    double loaded = 0.0;
    bool closed = true;
    for (PendingRecord &record : m_pending) {
        const bool weighed = record.row[DSART].integer() == 4;
        const double volume = record.row[KUBATUR].number();
        if (closed || weighed || loaded + volume > capacity) {
            loads.emplace_back();
            loaded = 0.0;
        }
        loads.back().push_back(&record);
        loaded += volume;
        closed = weighed;
    }

    const bool rail = m_site.dispatch == Dispatch::Rail;
    const QString year = m_head.date.left(4);
    for (const std::vector<PendingRecord *> &load : loads) {
        // Three loads leave a day, starting three days after the list date;
        // a large list is hauled away within three months.
        const int day = 3 + (m_loadsInList / 3) % 90;
        ++m_loadsInList;
        const QString dispatched = dateAfter(day);

        SqlValue wagon;
        QString wagonNumber;
        if (rail) {
            const int serial = 100 + m_nextWagon++;
            wagonNumber = QStringLiteral("31 80 4657 %1-%2").arg(serial).arg(serial % 7);
            m_insertWagon.run({dateTime(dispatched), wagonNumber});
            wagon = m_db.lastInsertId();
        }

        int pieces = 0;
        double volume = 0.0;
        for (const PendingRecord *record : load) {
            pieces += int(record->row[STK].number());
            volume += record->row[KUBATUR].number();
        }
        const QString note = QStringLiteral("LS-%1-%2").arg(year).arg(m_nextDeliveryNote++, 5, 10, QLatin1Char('0'));
        const QString &pile = m_site.pile;
        m_insertTransport.run({
            wagon,
            m_site.lot,
            pieces,
            roundTo(volume, 3),
            dateTime(dateAfter(day + 1)),
            rail ? QStringLiteral("Verladung Bahnhof Raubling") : QStringLiteral("Werksvermessung bestätigt"),
            m_nextDeliveryNote % 2 ? QStringLiteral("Fahrer Gruber") : QString(),
            dateTime(dateAfter(day + 14)),
            pile.isNull() ? QString() : m_head.number + QLatin1Char('-') + pile,
            pile,
            rail ? QString() : trucks()[m_nextDeliveryNote % trucks().size()],
            rail ? QStringLiteral("Raubling") : QString(),
            note,
        });
        const qint64 transport = m_db.lastInsertId();

        for (PendingRecord *record : load) {
            record->row[ID_TRANSPORTLOGISTIK] = transport;
            record->row[ABGANG] = record->row[KUBATUR];
            record->row[ABGANGSDATUM] = dateTime(dispatched);
            if (rail)
                record->row[WAGNR] = wagonNumber;
        }
    }
}

QString ListGenerator::pickGrade(int weightA, int weightB, int weightC, int weightD)
{
    int roll = m_random.between(1, weightA + weightB + weightC + weightD);
    if ((roll -= weightA) <= 0)
        return QStringLiteral("A");
    if ((roll -= weightB) <= 0)
        return QStringLiteral("B");
    if ((roll -= weightC) <= 0)
        return QStringLiteral("C");
    return QStringLiteral("D");
}

int ListGenerator::addLogs(const QStringList &species, const QString &grade, int count)
{
    for (int i = 0; i < count; ++i) {
        const QString code = species[m_random.between(0, int(species.size()) - 1)];
        const MasterData::Species &wood = m_master.species(code);

        // Conifers come as long harvester logs, broadleaves as shorter butt
        // logs of larger diameter, cut and measured by hand.
        double length = 0.0;
        double diameter = 0.0;
        QString quality;
        if (wood.conifer) {
            length = roundTo(m_random.uniform(10.0, 20.0), 1);
            diameter = std::round(std::clamp(m_random.normal(30.0, 7.0), 14.0, 58.0));
            quality = pickGrade(5, 55, 33, 7);
        } else {
            length = roundTo(m_random.uniform(4.0, 12.0), 1);
            diameter = std::round(std::clamp(m_random.normal(44.0, 9.0), 26.0, 82.0));
            quality = pickGrade(12, 38, 38, 12);
        }
        QString sort = grade;
        if (code == QStringLiteral("EI") && grade == QStringLiteral("L") && quality == QStringLiteral("A")
            && diameter >= 40)
            sort = QStringLiteral("FU");

        LogRow row = newRecord(1, code, sort);
        const double volume = TimberMath::logVolume(diameter, length);
        row[GKL] = quality;
        row[STKL] = TimberMath::diameterClass(diameter);
        row[LAENGE] = length;
        row[DURCH] = diameter;
        row[STK] = 1;
        row[KUBATUR] = volume;
        row[KKLASSE] = TimberMath::volumeClass(volume);
        row[ID_MASSEINHEIT] = int(UnitFm);
        const double klass = m_random.unit();
        row[KLST] = klass < 0.90 ? 1 : klass < 0.96 ? 2 : 3;
        if (wood.conifer) {
            row[MEFVERF] = QStringLiteral("Harvestervermessung");
            if (m_random.chance(0.8)) {
                row[ID_RINDENKENNZ] = int(WithBark);
                row[RINDEPROZENT] = 1; // bark deducted in percent
                row[RINDE_WERT] = 8.0;
            } else {
                row[ID_RINDENKENNZ] = int(WithoutBark);
            }
        } else {
            row[MEFVERF] = QStringLiteral("Handvermessung");
            row[ID_RINDENKENNZ] = int(WithBark);
            row[RINDEPROZENT] = 0; // bark deducted in cm
            row[RINDE_WERT] = code == QStringLiteral("EI") ? 2.0 : 1.0;
        }
        if (m_random.chance(0.07))
            row[ZUSTXT] = logRemarks()[m_random.between(0, int(logRemarks().size()) - 1)];
        finishRecord(row);
    }
    return count;
}

int ListGenerator::addShortLogs(const QString &species, int count)
{
    // A record of short logs holds several pieces of one length: the total
    // length and the mean diameter give the volume.
    for (int i = 0; i < count; ++i) {
        const int pieces = m_random.between(3, 8);
        const double pieceLength = double(m_random.between(3, 5));
        const double length = pieces * pieceLength;
        const double diameter = std::round(std::clamp(m_random.normal(26.0, 5.0), 16.0, 40.0));
        const double volume = TimberMath::logVolume(diameter, length);

        LogRow row = newRecord(5, species, QStringLiteral("AS"));
        row[GKL] = pickGrade(0, 60, 35, 5);
        row[STKL] = TimberMath::diameterClass(diameter);
        row[LAENGE] = length;
        row[DURCH] = diameter;
        row[STK] = pieces;
        row[KUBATUR] = volume;
        row[KKLASSE] = TimberMath::volumeClass(volume / pieces);
        row[ID_MASSEINHEIT] = int(UnitFm);
        row[ID_RINDENKENNZ] = int(WithBark);
        row[RINDEPROZENT] = 1;
        row[RINDE_WERT] = 8.0;
        row[MEFVERF] = QStringLiteral("Harvestervermessung");
        if (m_random.chance(0.07))
            row[ZUSTXT] = logRemarks()[m_random.between(0, int(logRemarks().size()) - 1)];
        finishRecord(row);
    }
    return count;
}

std::vector<std::optional<double>> ListGenerator::measureHeights(int count, int nullAt, double meanHeight)
{
    std::vector<std::optional<double>> heights;
    for (int i = 0; i < count; ++i) {
        const double height = roundTo(std::clamp(m_random.normal(meanHeight, 0.18), 1.0, 3.0), 2);
        if (i == nullAt)
            heights.push_back(std::nullopt); // reading left out
        else
            heights.push_back(height);
    }
    return heights;
}

void ListGenerator::writeHeights(
    SqliteStatement &insert, qint64 logId, const std::vector<std::optional<double>> &heights)
{
    for (std::size_t i = 0; i < heights.size(); ++i)
        insert.run({logId, int(i) + 1, heights[i]});
}

int ListGenerator::addStack(const StackShape &shape)
{
    const MasterData::Species &wood = m_master.species(shape.species);
    const bool chips = shape.grade == QStringLiteral("EH");
    const double factor = chips ? 0.40 : wood.stackFactor;

    LogRow row = newRecord(2, shape.species, shape.grade);
    const qint64 id = row[ID_LOG].integer();
    row[ID_MASSEINHEIT] = int(chips ? UnitSRm : UnitRm);
    row[UFAKT_RM] = factor;
    row[STK] = shape.pieces;
    row[MEFVERF] = QStringLiteral("Raummaß");
    row[SPALT] = shape.grade == QStringLiteral("BR") ? 1 : 0;
    if (!chips)
        row[LAENGE] = shape.woodLength;

    // The stacked volume: face area times billet length, less the
    // correction for the loose stacking (percent).
    double stacked = 0.0;
    const double correction = std::vector<double>{0.0, 4.0, 5.0}[std::size_t(m_random.between(0, 2))];
    const double kept = (100.0 - correction) / 100.0;
    switch (shape.method) {
    case StackMethod::Volume:
        stacked = chips ? roundTo(m_random.uniform(40.0, 120.0), 1) : roundTo(m_random.uniform(6.0, 36.0), 1);
        break;
    case StackMethod::Heights: {
        // Older method: one height per metre of pile length at the front.
        const int count = shape.heights > 0 ? shape.heights : m_random.between(5, 12);
        const double pileLength = roundTo(count * m_random.uniform(0.9, 1.1), 1);
        const std::vector<std::optional<double>> heights = measureHeights(count, shape.nullHeightAt, 1.9);
        stacked = roundTo(pileLength * mean(heights) * shape.woodLength * kept, 2);
        row[STAPELLANGE] = pileLength;
        row[KORREKTUR] = correction;
        writeHeights(m_insertFrontHeight, id, heights);
        break;
    }
    case StackMethod::TwoPart: {
        // Part A of full height with its heights measured, part B the
        // sloping end with one mean height, part C the bearers below.
        const double lengthAFront = roundTo(m_random.uniform(6.0, 14.0), 1);
        const double lengthBFront = roundTo(m_random.uniform(1.5, 3.5), 1);
        const double heightBFront = roundTo(m_random.uniform(0.7, 1.2), 2);
        std::vector<std::optional<double>> front = measureHeights(m_random.between(5, 9), -1, 2.0);
        std::vector<std::optional<double>> back;
        SqlValue lengthBack, lengthABack, lengthBBack, heightBBack;
        double lengthA = lengthAFront;
        double lengthB = lengthBFront;
        double heightB = heightBFront;
        if (shape.back) {
            const double a = roundTo(lengthAFront + m_random.uniform(-0.5, 0.5), 1);
            const double b = roundTo(m_random.uniform(1.5, 3.5), 1);
            const double h = roundTo(m_random.uniform(0.7, 1.2), 2);
            back = measureHeights(m_random.between(5, 9), -1, 2.0);
            lengthBack = roundTo(a + b, 2);
            lengthABack = a;
            lengthBBack = b;
            heightBBack = h;
            lengthA = roundTo((lengthAFront + a) / 2.0, 2);
            lengthB = roundTo((lengthBFront + b) / 2.0, 2);
            heightB = roundTo((heightBFront + h) / 2.0, 2);
        }
        std::vector<std::optional<double>> all = front;
        all.insert(all.end(), back.begin(), back.end());
        const double heightA = roundTo(mean(all), 2);
        const double volumeA = roundTo(lengthA * heightA * shape.woodLength, 2);
        const double volumeB = roundTo(lengthB * heightB * shape.woodLength, 2);
        const double volumeC = roundTo(m_random.uniform(0.2, 0.6), 2);
        const double volume = roundTo(volumeA + volumeB + volumeC, 2);
        stacked = roundTo(volume * kept, 2);
        row[STAPELLANGE] = roundTo(lengthA + lengthB, 2);
        row[KORREKTUR] = correction;
        m_insertStackHead.run({id, roundTo(lengthAFront + lengthBFront, 2), lengthAFront, lengthBFront, heightBFront,
            lengthBack, lengthABack, lengthBBack, heightBBack, heightA, lengthA, lengthB, heightB, volumeA, volumeB,
            volumeC, volume});
        writeHeights(m_insertFrontHeight, id, front);
        writeHeights(m_insertBackHeight, id, back);
        break;
    }
    }
    row[KUBRM] = stacked;
    row[KUBATUR] = roundTo(stacked * factor, 3);
    if (m_random.chance(0.1))
        row[ZUSTXT] = stackRemarks()[m_random.between(0, int(stackRemarks().size()) - 1)];
    finishRecord(row);
    return 1;
}

int ListGenerator::addPieces(const QString &species, int count)
{
    // Poles, counted; the volume per piece depends on the pole class.
    const QStringList classes = {QStringLiteral("1a"), QStringLiteral("1b"), QStringLiteral("2a")};
    const std::vector<double> perPiece = {0.06, 0.14, 0.26};
    for (int i = 0; i < count; ++i) {
        const int poleClass = m_random.between(0, 2);
        const int pieces = m_random.between(20, 150);
        LogRow row = newRecord(3, species, QStringLiteral("SG"));
        row[STKL] = classes[poleClass];
        row[LAENGE] = double(2 * m_random.between(3, 5));
        row[STK] = pieces;
        row[UFAKT_STK] = perPiece[std::size_t(poleClass)];
        row[KUBATUR] = roundTo(pieces * perPiece[std::size_t(poleClass)], 3);
        row[ID_MASSEINHEIT] = int(UnitPieces);
        row[MEFVERF] = QStringLiteral("Stückzählung");
        finishRecord(row);
    }
    return count;
}

int ListGenerator::addWeights(const QString &species, const QString &grade, DemoIds::Unit unit, int count)
{
    // One truck load each, weighed at the mill oven-dry or air-dry.
    if (unit != UnitTonnesAtro && unit != UnitTonnesLutro)
        throw GeneratorError(QStringLiteral("A weight needs a unit of tonnes"));
    const MasterData::Species &wood = m_master.species(species);
    for (int i = 0; i < count; ++i) {
        LogRow row = newRecord(4, species, grade);
        row[STK] = 1;
        row[ID_MASSEINHEIT] = int(unit);
        row[MEFVERF] = QStringLiteral("Werksvermessung (Gewicht)");
        if (unit == UnitTonnesAtro) {
            const double tonnes = roundTo(m_random.uniform(8.0, 13.0), 3);
            row[KUBATRO] = tonnes;
            row[UFAKT_ATO] = wood.atroFactor;
            row[KUBATUR] = roundTo(tonnes * wood.atroFactor, 3);
        } else {
            const double tonnes = roundTo(m_random.uniform(18.0, 27.0), 3);
            row[KUBLUTO] = tonnes;
            row[UFAKT_LUT] = wood.lutroFactor;
            row[KUBATUR] = roundTo(tonnes * wood.lutroFactor, 3);
        }
        finishRecord(row);
    }
    return count;
}

int ListGenerator::addJacket(const QStringList &species, int sampleLogs, int factor, int maxRecords)
{
    struct SampleLog
    {
        QString species;
        QString quality;
        QString diameterClass;
        double length;
        double diameter;
        double volume;
    };
    struct Group
    {
        QString species;
        QString quality;
        QString diameterClass;
        int pieces = 0;
        double volume = 0.0;
        double lengthSum = 0.0;
        double squareSum = 0.0;
    };

    // Measure the sample one log at a time.
    std::vector<SampleLog> sample;
    for (int i = 0; i < sampleLogs; ++i) {
        const QString code = species[m_random.between(0, int(species.size()) - 1)];
        const double length = double(m_random.between(4, 5));
        const double diameter = std::round(std::clamp(m_random.normal(28.0, 6.0), 16.0, 48.0));
        sample.push_back({code, pickGrade(0, 60, 35, 5), TimberMath::diameterClass(diameter), length, diameter,
            TimberMath::logVolume(diameter, length)});
    }

    // One extrapolated record per wood type, quality and diameter class.
    std::map<QString, Group> groups;
    for (const SampleLog &log : sample) {
        Group &group = groups[log.species + QLatin1Char('|') + log.quality + QLatin1Char('|') + log.diameterClass];
        group.species = log.species;
        group.quality = log.quality;
        group.diameterClass = log.diameterClass;
        group.pieces += 1;
        group.volume += log.volume;
        group.lengthSum += log.length;
        group.squareSum += log.diameter * log.diameter;
    }
    if (int(groups.size()) > maxRecords)
        return 0;

    const int jacket = m_nextJacket++;
    for (const SampleLog &log : sample)
        m_insertJacketLog.run({jacket, log.species, QStringLiteral("AS"), log.quality, log.diameterClass, log.length,
            log.diameter, 1, log.volume, QStringLiteral("MR"), 1.0});

    for (const auto &[key, group] : groups) {
        LogRow row = newRecord(6, group.species, QStringLiteral("AS"));
        row[GKL] = group.quality;
        row[STKL] = group.diameterClass;
        row[LAENGE] = roundTo(group.lengthSum / group.pieces, 2);
        row[DURCH] = roundTo(std::sqrt(group.squareSum / group.pieces), 1);
        row[STK] = group.pieces * factor;
        row[KUBATUR] = roundTo(group.volume * factor, 3);
        row[ID_MANTEL] = jacket;
        row[ID_MASSEINHEIT] = int(UnitFm);
        row[ID_RINDENKENNZ] = int(WithBark);
        row[RINDEPROZENT] = 0;
        row[RINDE_WERT] = 1.0;
        row[MEFVERF] = QStringLiteral("Mantelvermessung");
        finishRecord(row);
    }
    return int(groups.size());
}

} // namespace tannbuch
