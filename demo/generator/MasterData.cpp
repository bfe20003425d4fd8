#include "MasterData.h"

#include "GeneratorError.h"
#include "SqliteWriter.h"

namespace tannbuch {

using namespace DemoIds;

namespace {

using Row = std::vector<SqlValue>;

void insertRows(SqliteWriter &db, const QString &table, const QStringList &columns, const std::vector<Row> &rows)
{
    SqliteStatement insert = db.prepareInsert(table, columns);
    for (const Row &row : rows)
        insert.run(row);
}

const SqlValue null;

// Texts by number. The customer's own wording (first text) overrides the
// standard one; a customer text of blanks only counts as none. Labels that
// the program follows with ": " itself (388, 701, 1148, 5945) have no colon.
std::vector<Row> stringRows()
{
    const QString none;
    return {
        // Caption of the business-year box and relation-table lines, by
        // relation column RELTABLE1 .. RELTABLE10.
        {716, QStringLiteral("Forstwirtschaftsjahr:"), QStringLiteral("Haushaltsjahr:")},
        {717, none, QStringLiteral("Revier:")},
        {718, none, QStringLiteral("Vertrag:")},
        {719, none, QStringLiteral("Zertifizierung:")},
        {720, none, QStringLiteral("Hiebsart:")},
        {721, none, QStringLiteral("Maßnahme:")},
        {722, none, QStringLiteral("Förderprogramm:")},
        {723, none, QStringLiteral("Auftrag:")},
        {724, none, QStringLiteral("Bezug 10:")},
        {725, none, QStringLiteral("Kostenstelle:")},
        // List browser and head block.
        {726, QStringLiteral("   "), QStringLiteral("Liste")},
        {727, QStringLiteral("HAB-Datum:"), QStringLiteral("Listendatum:")},
        {729, none, QStringLiteral("Listenzusatztext:")},
        {1135, none, QStringLiteral("Lose:  ")},
        {6371, none, QStringLiteral("Zusatztext Listenkopf:")},
        {5008, none, QStringLiteral("Verkaufsart:")},
        // Forest location line: label and the word before the long name.
        {388, none, QStringLiteral("Waldort")},
        {1148, none, QStringLiteral("Bezeichnung")},
        // Additional texts and coordinates of the records.
        {4783, QStringLiteral("Abfuhrweg:"), QStringLiteral("Zusatztext 1:")},
        {4784, QStringLiteral("Lagerort:"), QStringLiteral("Zusatztext 2:")},
        {4785, none, QStringLiteral("Zusatztext 3:")},
        {4786, QStringLiteral("Schadursache:"), QStringLiteral("Zusatztext 4:")},
        {4787, QStringLiteral(""), QStringLiteral("Zusatztext 5:")},
        {4788, QStringLiteral("Rechtswert:"), QStringLiteral("Koordinate 1:")},
        {4789, QStringLiteral("Hochwert:"), QStringLiteral("Koordinate 2:")},
        // Lot summary, wagon number and remark.
        {5945, none, QStringLiteral("Polter")},
        {700, none, QStringLiteral("Waggonnummer")},
        {701, none, QStringLiteral("Bemerkung")},
        // Customer roles: invoice recipient, then roles 1 to 8.
        {41, none, QStringLiteral("Käufer:")},
        {3074, none, QStringLiteral("Spedition:")},
        {3075, none, QStringLiteral("Einschlagsunternehmer:")},
        {3076, none, QStringLiteral("Rückeunternehmer:")},
        {3077, none, QStringLiteral("Waldbesitzer:")},
        {3078, none, QStringLiteral("Vermittler:")},
        {3079, none, QStringLiteral("Frachtführer:")},
        {3080, none, QStringLiteral("Warenempfänger:")},
        {3081, none, QStringLiteral("Rechnungskopie an:")},
        // Typed fields of the list head: dates 1-5 (1356 .. 1352),
        // numbers 1-10 (1367 .. 1358), texts 1-15 (1369 .. 1383).
        {1352, none, QStringLiteral("Datum 5:")},
        {1353, none, QStringLiteral("Datum 4:")},
        {1354, none, QStringLiteral("Rechnungsdatum:")},
        {1355, none, QStringLiteral("Abfuhr bis:")},
        {1356, none, QStringLiteral("Aufnahmedatum:")},
        {1358, none, QStringLiteral("Zahl 10:")},
        {1359, none, QStringLiteral("Zahl 9:")},
        {1360, none, QStringLiteral("Zahl 8:")},
        {1361, none, QStringLiteral("Zahl 7:")},
        {1362, none, QStringLiteral("Zahl 6:")},
        {1363, none, QStringLiteral("Zahl 5:")},
        {1364, none, QStringLiteral("Zahl 4:")},
        {1365, none, QStringLiteral("Fläche (ha):")},
        {1366, none, QStringLiteral("Grundpreis (EUR/Fm):")},
        {1367, QStringLiteral("Vertragsmenge (Fm):"), QStringLiteral("Zahl 1:")},
        {1369, none, QStringLiteral("Vertragsnummer:")},
        {1370, none, QStringLiteral("Auftragsnummer:")},
        {1371, none, QStringLiteral("Forstbetrieb:")},
        {1372, none, QStringLiteral("Revierleiter:")},
        {1373, none, QStringLiteral("Holzaufnahme durch:")},
        {1374, none, QStringLiteral("Abfuhrfrist:")},
        {1375, none, QStringLiteral("Lagerplatz:")},
        {1376, none, QStringLiteral("Text 8:")},
        {1377, none, QStringLiteral("Text 9:")},
        {1378, none, QStringLiteral("Text 10:")},
        {1379, none, QStringLiteral("Text 11:")},
        {1380, none, QStringLiteral("Text 12:")},
        {1381, none, QStringLiteral("Text 13:")},
        {1382, none, QStringLiteral("Text 14:")},
        {1383, none, QStringLiteral("Text 15:")},
    };
}

std::vector<Row> personRows()
{
    const QString none;
    return {
        {SawmillHuber, QStringLiteral("HUBER"), 10023, QStringLiteral("Sägewerk Huber GmbH & Co. KG"), none,
            QStringLiteral("83022"), QStringLiteral("Rosenheim"), QStringLiteral("Kufsteiner Straße 112")},
        {SawmillStadler, QStringLiteral("STADLER"), 10057, QStringLiteral("Laubholzwerk Stadler"), none,
            QStringLiteral("84030"), QStringLiteral("Landshut"), QStringLiteral("Am Sägewerk 3")},
        {PaperMillSuedholz, QStringLiteral("SÜDHOLZ"), 20011, QStringLiteral("Papierfabrik Südholz AG"), none,
            QStringLiteral("86153"), QStringLiteral("Augsburg"), QStringLiteral("Lechhauser Straße 40")},
        {HeatingPlant, QStringLiteral("HEIZWERK"), 20034, QStringLiteral("Biomasseheizwerk Oberland eG"), none,
            QStringLiteral("82362"), QStringLiteral("Weilheim i. OB"), QStringLiteral("Am Holzhof 7")},
        {HaulierWimmer, QStringLiteral("WIMMER"), 30005, QStringLiteral("Spedition Wimmer"), QStringLiteral("Georg"),
            QStringLiteral("83101"), QStringLiteral("Rohrdorf"), QStringLiteral("Gewerbering 9")},
        {ContractorBerger, QStringLiteral("BERGER"), 40012, QStringLiteral("Berger"), QStringLiteral("Thomas"),
            QStringLiteral("83115"), QStringLiteral("Neubeuern"), QStringLiteral("Forstweg 4")},
        {SkidderLechner, QStringLiteral("LECHNER"), 40020, QStringLiteral("Lechner"), QStringLiteral("Anton"),
            QStringLiteral("83093"), QStringLiteral("Bad Endorf"), QStringLiteral("Hofstatt 2")},
        {OwnerMaier, QStringLiteral("MAIER J."), 50101, QStringLiteral("Maier"), QStringLiteral("Josef"),
            QStringLiteral("83134"), QStringLiteral("Prutting"), none},
        {RailLogistics, QStringLiteral("SCHIENE"), 30017, QStringLiteral("Holzlogistik Schiene GmbH"), none,
            QStringLiteral("83059"), QStringLiteral("Kolbermoor"), QStringLiteral("Bahnhofstraße 1")},
    };
}

std::vector<Row> relationRows()
{
    const QString none;
    return {
        // Business years; 2024/25 was a short year when the business year
        // moved, 2027 is set up but not opened yet.
        {Year2023, 1, QStringLiteral("2023"), QStringLiteral("Forstwirtschaftsjahr 2023"), 0},
        {Year2024, 1, QStringLiteral("2024"), QStringLiteral("Forstwirtschaftsjahr 2024"), 0},
        {Year2024_25, 1, QStringLiteral("2024/25"), QStringLiteral("Rumpfwirtschaftsjahr 2024/25"), 0},
        {Year2025, 1, QStringLiteral("2025"), QStringLiteral("Forstwirtschaftsjahr 2025"), null},
        {Year2026, 1, QStringLiteral("2026"), QStringLiteral("Forstwirtschaftsjahr 2026"), 0},
        {Year2027Disabled, 1, QStringLiteral("2027"), QStringLiteral("Forstwirtschaftsjahr 2027"), 1},
        {DistrictNord, 2, QStringLiteral("N"), QStringLiteral("Revier Nord"), 0},
        {DistrictSued, 2, QStringLiteral("S"), QStringLiteral("Revier Süd"), 0},
        {DistrictWeiher, 2, QStringLiteral("W"), QStringLiteral("Revier Weiher"), 0},
        {ContractHuber, 3, QStringLiteral("RV-17"), QStringLiteral("Rahmenvertrag Sägewerk Huber 2026"), 0},
        {ContractSuedholz, 3, QStringLiteral("LV-09"), QStringLiteral("Liefervertrag Papierfabrik Südholz"), 0},
        {CertificatePefc, 4, QStringLiteral("PEFC"), QStringLiteral("PEFC-zertifiziert"), 0},
        {CertificateFsc, 4, QStringLiteral("FSC"), QStringLiteral("FSC-zertifiziert"), 0},
    };
}

} // namespace

MasterData::MasterData()
{
    // Wood types: stacked-wood factor (Fm per Rm), Fm per tonne oven-dry
    // and per tonne air-dry.
    m_species = {
        {QStringLiteral("FI"), QStringLiteral("Fichte"), QStringLiteral("FI"), true, 0.70, 2.35, 1.15},
        {QStringLiteral("TA"), QStringLiteral("Tanne"), QStringLiteral("FI"), true, 0.70, 2.40, 1.10},
        {QStringLiteral("KI"), QStringLiteral("Kiefer"), QStringLiteral("KI"), true, 0.68, 2.00, 1.05},
        {QStringLiteral("LA"), QStringLiteral("Lärche"), QStringLiteral("KI"), true, 0.68, 1.85, 1.00},
        {QStringLiteral("DG"), QStringLiteral("Douglasie"), QStringLiteral("KI"), true, 0.68, 2.10, 1.05},
        {QStringLiteral("BU"), QStringLiteral("Buche"), QStringLiteral("BU"), false, 0.72, 1.75, 0.95},
        {QStringLiteral("EI"), QStringLiteral("Eiche"), QStringLiteral("EI"), false, 0.70, 1.65, 0.90},
        {QStringLiteral("ES"), QStringLiteral("Esche"), QStringLiteral("BU"), false, 0.70, 1.70, 0.95},
        {QStringLiteral("BAH"), QStringLiteral("Bergahorn"), QStringLiteral("BU"), false, 0.70, 1.80, 0.95},
    };

    m_grades = {
        {QStringLiteral("L"), QStringLiteral("Stammholz lang"), QStringLiteral("ST")},
        {QStringLiteral("AS"), QStringLiteral("Stammholz kurz (Abschnitte)"), QStringLiteral("ST")},
        {QStringLiteral("FU"), QStringLiteral("Furnierholz"), QStringLiteral("FU")},
        {QStringLiteral("IL"), QStringLiteral("Industrieholz lang"), QStringLiteral("IH")},
        {QStringLiteral("IS"), QStringLiteral("Industrieholz kurz"), QStringLiteral("IH")},
        {QStringLiteral("PA"), QStringLiteral("Palettenholz"), QStringLiteral("IH")},
        {QStringLiteral("BR"), QStringLiteral("Brennholz"), QStringLiteral("BR")},
        {QStringLiteral("EH"), QStringLiteral("Energieholz (Hackgut)"), QStringLiteral("EH")},
        {QStringLiteral("SG"), QStringLiteral("Stangen"), QStringLiteral("SG")},
    };

    // Forest locations with the centre of their compartment and the road
    // that serves them. The fourth has no long name; the fifth's long name
    // is just its code.
    const QString none;
    m_locations = {
        {1, QStringLiteral("Nordhang"), {QStringLiteral("12"), none, QStringLiteral("3")}, 4501200, 5295400,
            QStringLiteral("Forststraße Nord")},
        {2, QStringLiteral("Buchleite"), {QStringLiteral("12"), QStringLiteral("4"), QStringLiteral("b")}, 4502850,
            5294100, QStringLiteral("Buchleitenweg")},
        {3, QStringLiteral("Am Weiher"),
            {QStringLiteral("14"), QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("2")}, 4498700, 5297900,
            QStringLiteral("Weiherstraße")},
        {4, none, {QStringLiteral("15"), QStringLiteral("2")}, 4505300, 5291600, QStringLiteral("Forststraße Ost")},
        {5, QStringLiteral("7 1 c"), {QStringLiteral("7"), QStringLiteral("1"), QStringLiteral("c")}, 4496400, 5299800,
            QStringLiteral("Maierweg")},
        {6, QStringLiteral("Hochries-Südhang"),
            {QStringLiteral("21"), QStringLiteral("3"), QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("II"),
                QStringLiteral("x")},
            4510900, 5286300, QStringLiteral("Hochriesstraße")},
    };

    // Rates in euro per Fm by diameter class. Short logs and extrapolated
    // jacket records are paid like long logs of the same class.
    const QStringList classes = {QStringLiteral("1a"), QStringLiteral("1b"), QStringLiteral("2a"), QStringLiteral("2b"),
        QStringLiteral("3a"), QStringLiteral("3b"), QStringLiteral("4a"), QStringLiteral("4b"), QStringLiteral("5a"),
        QStringLiteral("5b"), QStringLiteral("6")};
    const std::vector<double> spruce = {40, 62, 86, 95, 100, 101, 99, 97, 92, 88, 80};
    const std::vector<double> pine = {32, 48, 68, 77, 82, 84, 83, 80, 76, 72, 66};
    const std::vector<double> beech = {35, 45, 55, 62, 72, 80, 88, 95, 100, 104, 108};
    const std::vector<double> oak = {50, 70, 95, 120, 160, 200, 260, 320, 380, 420, 450};
    for (int recordType : {1, 5, 6}) {
        addRates(QStringLiteral("FI"), QStringLiteral("ST"), recordType, classes, spruce);
        addRates(QStringLiteral("KI"), QStringLiteral("ST"), recordType, classes, pine);
        addRates(QStringLiteral("BU"), QStringLiteral("ST"), recordType, classes, beech);
        addRates(QStringLiteral("EI"), QStringLiteral("ST"), recordType, classes, oak);
    }
    addRates(QStringLiteral("EI"), QStringLiteral("FU"), 1, classes.mid(4), {420, 480, 560, 640, 720, 800, 880});
    const QStringList poleClasses = classes.mid(0, 3);
    addRates(QStringLiteral("FI"), QStringLiteral("SG"), 3, poleClasses, {38, 42, 48});
    addRates(QStringLiteral("KI"), QStringLiteral("SG"), 3, poleClasses, {34, 38, 44});
}

void MasterData::addRates(const QString &speciesGroup, const QString &gradeGroup, int recordType,
    const QStringList &classes, const std::vector<double> &euros)
{
    for (qsizetype i = 0; i < classes.size(); ++i) {
        const QString key = rateKey(speciesGroup, gradeGroup, classes[i], recordType);
        if (m_rateByKey.count(key))
            throw GeneratorError(QStringLiteral("Rate defined twice: ") + key);
        m_rates.push_back({speciesGroup, gradeGroup, classes[i], recordType, euros[std::size_t(i)]});
        m_rateByKey[key] = euros[std::size_t(i)];
    }
}

QString MasterData::rateKey(
    const QString &speciesGroup, const QString &gradeGroup, const QString &diameterClass, int recordType)
{
    return speciesGroup + QLatin1Char('|') + gradeGroup + QLatin1Char('|') + diameterClass + QLatin1Char('|')
        + QString::number(recordType);
}

const MasterData::Species &MasterData::species(const QString &code) const
{
    for (const Species &s : m_species)
        if (s.code == code)
            return s;
    throw GeneratorError(QStringLiteral("Unknown wood type ") + code);
}

const MasterData::Grade &MasterData::grade(const QString &code) const
{
    for (const Grade &g : m_grades)
        if (g.code == code)
            return g;
    throw GeneratorError(QStringLiteral("Unknown grade ") + code);
}

const MasterData::ForestLocation &MasterData::forestLocation(int id) const
{
    for (const ForestLocation &l : m_locations)
        if (l.id == id)
            return l;
    throw GeneratorError(QStringLiteral("Unknown forest location %1").arg(id));
}

std::optional<double> MasterData::rate(
    const QString &species, const QString &grade, const QString &diameterClass, int recordType) const
{
    if (diameterClass.isEmpty())
        return std::nullopt;
    const auto it = m_rateByKey.find(
        rateKey(this->species(species).rateGroup, this->grade(grade).rateGroup, diameterClass, recordType));
    if (it == m_rateByKey.end())
        return std::nullopt;
    return it->second;
}

void MasterData::write(SqliteWriter &db) const
{
    const QString none;

    insertRows(db, QStringLiteral("ACCESS_LEVELS"),
        {QStringLiteral("ID"), QStringLiteral("ACCESS_LEVELS"), QStringLiteral("BEZEICHNUNG")},
        {
            {LevelOberland, QStringLiteral("010000"), QStringLiteral("Forstbetrieb Oberland")},
            {LevelNord, QStringLiteral("010100"), QStringLiteral("Revier Nord")},
            {LevelSued, QStringLiteral("010200"), QStringLiteral("Revier Süd")},
            {LevelSuedWeiher, QStringLiteral("010201"), QStringLiteral("Revier Süd, Bereich Weiher")},
            {LevelChiemgau, QStringLiteral("020000"), QStringLiteral("Forstbetrieb Chiemgau")},
        });

    insertRows(db, QStringLiteral("STRINGS"),
        {QStringLiteral("ID_STRING"), QStringLiteral("CUSTOM_GERMAN"), QStringLiteral("GERMAN")}, stringRows());

    insertRows(db, QStringLiteral("OPTIONEN"),
        {QStringLiteral("PROPERTY_ID"), QStringLiteral("NUMBER_VALUE"), QStringLiteral("TEXT_VALUE")},
        {
            {QStringLiteral("KUBATURPLACE"), 3, null},
            {QStringLiteral("WAEHRUNG"), null, QStringLiteral("EUR")},
        });

    // Where the record input form prints additional texts: 0 and 1 in the
    // list head, 2 and 4 in the lot summary, other values nowhere. The
    // counter row and the other form's row are not switches.
    const QString form = QStringLiteral("F_STAMMEINKONF");
    insertRows(db, QStringLiteral("FORMS_CONFIG"),
        {QStringLiteral("FORM_ID"), QStringLiteral("PROPERTY_ID"), QStringLiteral("NUMBER_VALUE")},
        {
            {form, QStringLiteral("ZUSATZTEXT"), 2},
            {form, QStringLiteral("ZUSTEXT1"), 1},
            {form, QStringLiteral("ZUSTEXT2"), 4},
            {form, QStringLiteral("ZUSTEXT3"), 0},
            {form, QStringLiteral("ZUSTEXT4"), 2},
            {form, QStringLiteral("ZUSTEXT5"), 1},
            {form, QStringLiteral("COORDINATE1"), 2},
            {form, QStringLiteral("COORDINATE2"), 2},
            {form, QStringLiteral("ZUSTEXTANZAHL"), 5},
            {QStringLiteral("F_LISTEN"), QStringLiteral("ZUSTEXT1"), 9},
        });

    insertRows(db, QStringLiteral("LISTENART"), {QStringLiteral("LISTENART"), QStringLiteral("TEXT")},
        {
            {Stammholz, QStringLiteral("Stammholz")},
            {Industrieholz, QStringLiteral("Industrieholz")},
            {Brennholz, QStringLiteral("Brennholz")},
            {Energieholz, QStringLiteral("Energieholz")},
        });

    insertRows(db, QStringLiteral("RELTABLE"),
        {QStringLiteral("ID"), QStringLiteral("RELTABLE_ID"), QStringLiteral("KURZNAME"), QStringLiteral("LANGNAME"),
            QStringLiteral("DISABLE")},
        relationRows());

    insertRows(db, QStringLiteral("DSART"), {QStringLiteral("ID"), QStringLiteral("NAME")},
        {
            {1, QStringLiteral("Stammholz lang")},
            {2, QStringLiteral("Schichtholz")},
            {3, QStringLiteral("Stückzahl")},
            {4, QStringLiteral("Gewicht")},
            {5, QStringLiteral("Stammholz kurz")},
            {6, QStringLiteral("Mantelvermessung")},
        });

    {
        std::vector<Row> rows;
        for (const Species &s : m_species)
            rows.push_back({s.code, s.name, s.rateGroup});
        insertRows(db, QStringLiteral("HOLZART"),
            {QStringLiteral("HA"), QStringLiteral("HA_LANG"), QStringLiteral("ZUORD_MSZ")}, rows);
    }
    {
        std::vector<Row> rows;
        for (const Grade &g : m_grades)
            rows.push_back({g.code, g.name, g.rateGroup});
        insertRows(db, QStringLiteral("HOLZSORTE"),
            {QStringLiteral("HS"), QStringLiteral("HS_LANG"), QStringLiteral("ZUORD_MSZ")}, rows);
    }
    {
        std::vector<Row> rows;
        for (const Rate &r : m_rates)
            rows.push_back({r.speciesGroup, r.gradeGroup, r.diameterClass, r.recordType, r.euro});
        insertRows(db, QStringLiteral("D_MSZ"),
            {QStringLiteral("HA"), QStringLiteral("HS"), QStringLiteral("STKL"), QStringLiteral("DSART"),
                QStringLiteral("MSZ_EURO")},
            rows);
    }

    insertRows(db, QStringLiteral("WARENEINHEIT"),
        {QStringLiteral("EINHEIT_ID"), QStringLiteral("EINHEIT"), QStringLiteral("BEZEICHNUNG"),
            QStringLiteral("GEWICHT_LUTRO")},
        {
            {UnitFm, QStringLiteral("Fm"), QStringLiteral("Festmeter"), 0},
            {UnitRm, QStringLiteral("Rm"), QStringLiteral("Raummeter"), 0},
            {UnitSRm, QStringLiteral("SRm"), QStringLiteral("Schüttraummeter"), 0},
            {UnitPieces, QStringLiteral("Stk"), QStringLiteral("Stück"), null},
            {UnitTonnesAtro, QStringLiteral("tatro"), QStringLiteral("Tonnen atro"), 0},
            {UnitTonnesLutro, QStringLiteral("tlutro"), QStringLiteral("Tonnen lutro"), 1},
        });

    insertRows(db, QStringLiteral("KUBATURKLASSE"), {QStringLiteral("ID"), QStringLiteral("KKLASSE")},
        {
            {1, QStringLiteral("bis 0,24 Fm")},
            {2, QStringLiteral("0,25 - 0,49 Fm")},
            {3, QStringLiteral("0,50 - 0,99 Fm")},
            {4, QStringLiteral("1,00 - 1,99 Fm")},
            {5, QStringLiteral("ab 2,00 Fm")},
        });

    insertRows(db, QStringLiteral("RINDENKENNZ"),
        {QStringLiteral("ID_RINDENKENNZ"), QStringLiteral("RINDENKENNZ"), QStringLiteral("BEZEICHNUNG")},
        {
            {WithBark, QStringLiteral("MR"), QStringLiteral("mit Rinde gemessen")},
            {WithoutBark, QStringLiteral("OR"), QStringLiteral("ohne Rinde")},
            {PartlyDebarked, QStringLiteral("TE"), QStringLiteral("teilentrindet")},
        });

    insertRows(db, QStringLiteral("VERKAUFSART"),
        {QStringLiteral("ID"), QStringLiteral("SHORT"), QStringLiteral("LONG")},
        {
            {PrivateSale, QStringLiteral("FV"), QStringLiteral("Freihändiger Verkauf")},
            {Tender, QStringLiteral("SUB"), QStringLiteral("Submission")},
            {FrameContract, QStringLiteral("RV"), QStringLiteral("Rahmenvertrag")},
            {SelfHarvest, QStringLiteral("SW"), QStringLiteral("Selbstwerbung")},
        });

    {
        std::vector<Row> rows;
        for (const ForestLocation &l : m_locations) {
            Row row = {l.id, l.name};
            for (int i = 0; i < 6; ++i) {
                const QString part = i < l.parts.size() ? l.parts[i] : QString();
                row.push_back(part.isEmpty() ? SqlValue() : SqlValue(part));
            }
            rows.push_back(row);
        }
        insertRows(db, QStringLiteral("WALDORT"),
            {QStringLiteral("ID_WALDORT"), QStringLiteral("LANGNAME"), QStringLiteral("WO1"), QStringLiteral("WO2"),
                QStringLiteral("WO3"), QStringLiteral("WO4"), QStringLiteral("WO5"), QStringLiteral("WO6")},
            rows);
    }

    insertRows(db, QStringLiteral("PERSONAL"),
        {QStringLiteral("ID_PERSONAL"), QStringLiteral("KURZBEZEICHNUNG"), QStringLiteral("NUMMER"),
            QStringLiteral("NAME"), QStringLiteral("VORNAME"), QStringLiteral("PLZ"), QStringLiteral("ORT"),
            QStringLiteral("STRASSE")},
        personRows());
}

} // namespace tannbuch
