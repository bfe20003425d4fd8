#include "DemoLists.h"

#include "ListGenerator.h"

namespace tannbuch {

using namespace DemoIds;

using namespace Qt::StringLiterals;

namespace {

// List 4711: the spring list of 2026 with every kind of record, over five
// lots: long logs of spruce, fir, beech, oak, pine, larch and Douglas fir;
// short logs shipped by rail; stacks measured by volume, with single
// heights (one pile with eleven heights, one with a reading left out) and
// with the two-part method (with and without the back face); poles; weighed
// truck loads oven-dry and air-dry; chips in SRm; two jacket measurements.
// Lot 5 is sold on behalf of a private owner and has logs without a pile.
void writeList4711(ListGenerator &g)
{
    g.beginList({
        .number = u"4711"_s,
        .date = u"2026-03-12"_s,
        .listType = Stammholz,
        .year = Year2026,
        .district = DistrictNord,
        .contract = ContractHuber,
        .certificate = CertificatePefc,
        .additionalText = u"Holzliste Frühjahr 2026"_s,
        .salesType = FrameContract,
        .offer = u"A-2026-014"_s,
        .accessLevel = LevelSued,
        .headText = u"Sturmholz nach Orkan im Februar, bitte zügig abfahren"_s,
        .texts = {u"RV-2026-017"_s, u"A-4711"_s, u"Forstbetrieb Oberland"_s, u"Markus Brandl"_s, QString(),
            u"6 Wochen nach Bereitstellung"_s, u"Forststraße Nord, km 2,4"_s},
        .numbers = {850.0, 96.5, 0.0},
        .dates = {u"2026-03-09"_s, u"2026-04-30"_s},
    });

    g.beginPile({.lot = u"1"_s,
        .pile = u"101"_s,
        .location = 1,
        .storage = u"Polterplatz 1 am Wendehammer"_s,
        .damage = u"Sturmwurf"_s,
        .colour = u"rot"_s,
        .dispatch = Dispatch::Truck});
    g.addLogs({u"FI"_s}, u"L"_s, 45);
    g.beginPile({.lot = u"1"_s,
        .pile = u"102"_s,
        .location = 1,
        .storage = u"Polterplatz 2"_s,
        .damage = u"Sturmwurf"_s,
        .colour = u"rot"_s,
        .dispatch = Dispatch::Truck});
    g.addLogs({u"FI"_s, u"TA"_s}, u"L"_s, 40);
    g.beginPile({.lot = u"1"_s,
        .pile = u"103"_s,
        .location = 1,
        .storage = u"Bahnverladung Raubling"_s,
        .colour = u"gelb"_s,
        .dispatch = Dispatch::Rail});
    g.addShortLogs(u"FI"_s, 14);
    g.beginPile({.lot = u"1"_s,
        .pile = u"104"_s,
        .location = 1,
        .storage = u"Polterplatz 4"_s,
        .release = u"Abfuhr erst nach Freigabe"_s});
    g.addStack(
        {.species = u"FI"_s, .grade = u"IL"_s, .method = StackMethod::Heights, .woodLength = 2.0, .heights = 11});
    g.addStack({.species = u"FI"_s,
        .grade = u"IL"_s,
        .method = StackMethod::Heights,
        .woodLength = 2.0,
        .heights = 7,
        .nullHeightAt = 3});
    g.beginPile({.lot = u"1"_s,
        .pile = u"105"_s,
        .location = 1,
        .storage = u"Polterplatz 5"_s,
        .colour = u"rot"_s,
        .dispatch = Dispatch::Truck});
    g.addLogs({u"FI"_s}, u"L"_s, 40);

    g.beginPile({.lot = u"2"_s,
        .pile = u"201"_s,
        .location = 2,
        .storage = u"Lagerplatz Buchleite"_s,
        .colour = u"blau"_s,
        .dispatch = Dispatch::Truck});
    g.addLogs({u"BU"_s}, u"L"_s, 32);
    g.beginPile({.lot = u"2"_s, .pile = u"202"_s, .location = 2, .storage = u"Wertholzplatz"_s, .colour = u"blau"_s});
    g.addLogs({u"EI"_s}, u"L"_s, 24);
    g.beginPile({.lot = u"2"_s, .pile = u"203"_s, .location = 2, .note = u"LKW-befahrbar bis 40 t"_s});
    g.addStack({.species = u"BU"_s, .grade = u"BR"_s, .woodLength = 1.0});
    g.addStack({.species = u"BU"_s, .grade = u"BR"_s, .woodLength = 1.0, .pieces = 0});
    g.addStack({.species = u"BU"_s, .grade = u"BR"_s, .method = StackMethod::Heights, .woodLength = 1.0, .heights = 6});
    g.beginPile({.lot = u"2"_s, .pile = u"204"_s, .location = 2, .note = u"LKW-befahrbar bis 40 t"_s});
    g.addStack({.species = u"BU"_s, .grade = u"IL"_s, .method = StackMethod::TwoPart, .woodLength = 2.0});

    g.beginPile({.lot = u"3"_s,
        .pile = u"301"_s,
        .location = 3,
        .storage = u"Polterplatz Weiher Nord"_s,
        .colour = u"weiß"_s,
        .dispatch = Dispatch::Truck});
    g.addLogs({u"KI"_s, u"LA"_s}, u"L"_s, 44);
    g.beginPile({.lot = u"3"_s, .pile = u"302"_s, .location = 3, .storage = u"Polterplatz Weiher Süd"_s});
    g.addJacket({u"FI"_s, u"TA"_s}, 14, 12, 100);
    g.beginPile({.lot = u"3"_s, .pile = u"303"_s, .location = 3});
    g.addPieces(u"FI"_s, 6);
    g.beginPile({.lot = u"3"_s, .pile = u"304"_s, .location = 3});
    g.addStack(
        {.species = u"KI"_s, .grade = u"IL"_s, .method = StackMethod::TwoPart, .woodLength = 3.0, .back = false});

    g.beginPile(
        {.lot = u"4"_s, .pile = u"401"_s, .location = 4, .damage = u"Käferholz"_s, .dispatch = Dispatch::Truck});
    g.addWeights(u"FI"_s, u"IS"_s, UnitTonnesAtro, 6);
    g.beginPile(
        {.lot = u"4"_s, .pile = u"402"_s, .location = 4, .damage = u"Käferholz"_s, .dispatch = Dispatch::Truck});
    g.addWeights(u"KI"_s, u"IS"_s, UnitTonnesLutro, 4);
    g.beginPile({.lot = u"4"_s, .pile = u"403"_s, .location = 4, .storage = u"Hackplatz Ost"_s});
    g.addStack({.species = u"FI"_s, .grade = u"EH"_s});
    g.addStack({.species = u"FI"_s, .grade = u"EH"_s});
    g.beginPile({.lot = u"4"_s, .pile = u"404"_s, .location = 4, .storage = u"Polterplatz Ost"_s});
    g.addJacket({u"KI"_s}, 10, 8, 100);

    const PileSite privateForest = {.lot = u"5"_s,
        .location = 5,
        .owner = OwnerMaier,
        .salesType = PrivateSale,
        .district = DistrictSued,
        .certified = false,
        .listText = u"Privatwald Maier (Vermittlung)"_s};
    PileSite site = privateForest;
    site.pile = u"501"_s;
    site.dispatch = Dispatch::Truck;
    g.beginPile(site);
    g.addLogs({u"DG"_s}, u"L"_s, 26);
    site = privateForest;
    site.coordinates = false;
    g.beginPile(site);
    g.addLogs({u"LA"_s, u"DG"_s}, u"L"_s, 8);
    site = privateForest;
    site.pile = u"502"_s;
    g.beginPile(site);
    g.addStack({.species = u"DG"_s, .grade = u"IL"_s, .method = StackMethod::TwoPart, .woodLength = 2.0});
    g.finishPile();
}

// List 4712: a thinning of the business year 2025, logs and one stack.
void writeList4712(ListGenerator &g)
{
    g.beginList({.number = u"4712"_s,
        .date = u"2025-06-17"_s,
        .listType = Stammholz,
        .year = Year2025,
        .district = DistrictNord,
        .contract = ContractHuber,
        .certificate = CertificatePefc,
        .additionalText = u"Durchforstung Nordhang"_s,
        .salesType = FrameContract,
        .offer = u"A-2025-031"_s,
        .accessLevel = LevelNord,
        .texts = {u"RV-2025-004"_s}});
    g.beginPile({.lot = u"1"_s, .pile = u"11"_s, .location = 1, .dispatch = Dispatch::Truck});
    g.addLogs({u"FI"_s}, u"L"_s, 30);
    g.beginPile({.lot = u"1"_s, .pile = u"12"_s, .location = 1});
    g.addStack({.species = u"FI"_s, .grade = u"IL"_s, .method = StackMethod::Heights, .woodLength = 2.0, .heights = 8});
    g.beginPile({.lot = u"2"_s, .pile = u"21"_s, .location = 6, .dispatch = Dispatch::Truck});
    g.addLogs({u"FI"_s, u"TA"_s}, u"L"_s, 24);
    g.beginPile({.lot = u"2"_s, .pile = u"22"_s, .location = 6});
    g.addShortLogs(u"TA"_s, 6);
    g.finishPile();
}

// List 4713: a hardwood tender of 2026, one lot, logs without piles.
void writeList4713(ListGenerator &g)
{
    g.beginList({.number = u"4713"_s,
        .date = u"2026-05-06"_s,
        .listType = Stammholz,
        .year = Year2026,
        .district = DistrictSued,
        .additionalText = u"Wertholzsubmission Laubholz"_s,
        .salesType = Tender,
        .offer = u"SUB-2026-02"_s});
    g.beginPile({.lot = u"1"_s, .location = 2, .coordinates = false});
    g.addLogs({u"EI"_s, u"BU"_s, u"BAH"_s, u"ES"_s}, u"L"_s, 30);
    g.finishPile();
}

// List 4720: pulpwood of the short business year 2024/25.
void writeList4720(ListGenerator &g)
{
    g.beginList({.number = u"4720"_s,
        .date = u"2025-02-14"_s,
        .listType = Industrieholz,
        .year = Year2024_25,
        .district = DistrictWeiher,
        .contract = ContractSuedholz,
        .certificate = CertificatePefc,
        .additionalText = u"Industrieholz Winter 2024/25"_s,
        .salesType = FrameContract,
        .offer = u"A-2025-002"_s,
        .accessLevel = LevelChiemgau});
    g.beginPile({.lot = u"1"_s, .pile = u"1"_s, .location = 3});
    g.addStack({.species = u"KI"_s, .grade = u"IL"_s, .method = StackMethod::Heights, .woodLength = 2.0, .heights = 9});
    g.addStack({.species = u"KI"_s, .grade = u"IL"_s, .woodLength = 2.0});
    g.beginPile({.lot = u"1"_s, .pile = u"2"_s, .location = 3, .dispatch = Dispatch::Truck});
    g.addWeights(u"FI"_s, u"IS"_s, UnitTonnesAtro, 5);
    g.beginPile({.lot = u"2"_s, .pile = u"3"_s, .location = 4});
    g.addStack({.species = u"FI"_s, .grade = u"IS"_s, .method = StackMethod::TwoPart, .woodLength = 1.0});
    g.addStack({.species = u"FI"_s, .grade = u"IL"_s, .woodLength = 2.0});
    g.addStack({.species = u"FI"_s, .grade = u"IL"_s, .woodLength = 3.0});
    g.beginPile({.lot = u"2"_s, .pile = u"4"_s, .location = 4, .dispatch = Dispatch::Truck});
    g.addWeights(u"KI"_s, u"IS"_s, UnitTonnesLutro, 3);
    g.finishPile();
}

} // namespace

namespace DemoLists {

Provisions write(ListGenerator &generator)
{
    Provisions provisions;
    writeList4711(generator);
    for (const ListGenerator::RecordRef &record : generator.listRecords()) {
        provisions.demo.push_back(record.id);
        if (record.lot == QStringLiteral("2"))
            provisions.partial.push_back(record.id);
    }
    writeList4712(generator);
    writeList4713(generator);
    writeList4720(generator);
    return provisions;
}

namespace {

// The head of a generated list.
void beginGeneratedList(ListGenerator &g, int records, const QString &list)
{
    g.beginList({.number = list,
        .date = u"2026-02-20"_s,
        .listType = Stammholz,
        .year = Year2026,
        .district = DistrictSued,
        .contract = ContractHuber,
        .certificate = CertificatePefc,
        .additionalText = u"Jahreseinschlag Forstbetrieb"_s,
        .salesType = FrameContract,
        .offer = u"A-2026-100"_s,
        .accessLevel = LevelSued,
        .texts = {u"RV-2026-100"_s, u"A-"_s + list, u"Forstbetrieb Oberland"_s},
        .numbers = {double(records)},
        .dates = {u"2026-02-18"_s}});
}

std::vector<qint64> recordIds(const ListGenerator &g)
{
    std::vector<qint64> ids;
    for (const ListGenerator::RecordRef &record : g.listRecords())
        ids.push_back(record.id);
    return ids;
}

} // namespace

std::vector<qint64> writeBenchmarkList(ListGenerator &g, int records, const QString &list)
{
    Random &random = g.random();
    beginGeneratedList(g, records, list);

    // The wood of each forest location; the first is also the stacked wood.
    const std::vector<QStringList> woodOf = {
        {},
        {u"FI"_s, u"TA"_s},
        {u"BU"_s, u"EI"_s},
        {u"KI"_s, u"LA"_s},
        {u"FI"_s},
        {u"DG"_s, u"LA"_s},
        {u"FI"_s, u"TA"_s, u"BU"_s},
    };
    const QStringList damages = {QString(), QString(), u"Sturmwurf"_s, u"Käferholz"_s, u"Schneebruch"_s};

    int remaining = records;
    int lot = 0;
    int lotRemaining = 0;
    int pileInLot = 0;
    while (remaining > 0) {
        if (lotRemaining <= 0) {
            ++lot;
            lotRemaining = random.between(200, 400);
            pileInLot = 0;
        }
        const int location = 1 + (lot - 1) % 6;
        const QStringList &wood = woodOf[std::size_t(location)];
        const bool conifer = wood.first() != u"BU"_s;

        PileSite site;
        site.lot = QString::number(lot);
        site.location = location;
        if (random.chance(0.95))
            site.pile = QString::number(lot * 100 + ++pileInLot);
        site.damage = damages[random.between(0, int(damages.size()) - 1)];
        if (random.chance(0.3))
            site.storage = u"Polterplatz %1"_s.arg(pileInLot);
        const double dispatch = random.unit();
        site.dispatch = dispatch < 0.5 ? Dispatch::Truck : dispatch < 0.6 ? Dispatch::Rail : Dispatch::None;
        g.beginPile(site);

        // Pile kinds drawn so that, by records, about 70 % are single logs
        // and the rest stacks, jacket records, short logs, weights and poles.
        int added = 0;
        const double kind = random.unit();
        if (kind < 0.06) {
            added = g.addJacket(wood, random.between(8, 20), random.between(6, 14), remaining);
        } else if (kind < 0.44) {
            for (int i = random.between(1, 3); i > 0 && added < remaining; --i) {
                StackShape stack;
                stack.species = wood.first();
                stack.grade = conifer ? (random.chance(0.7) ? u"IL"_s : u"IS"_s) : u"BR"_s;
                stack.woodLength = double(random.between(1, 3));
                const double method = random.unit();
                if (method < 0.35) {
                    stack.method = StackMethod::Heights;
                    stack.heights = random.between(5, 14);
                    if (random.chance(0.1))
                        stack.nullHeightAt = random.between(1, stack.heights - 1);
                } else if (method < 0.6) {
                    stack.method = StackMethod::TwoPart;
                    stack.back = random.chance(0.7);
                } else if (random.chance(0.2) && conifer) {
                    stack.grade = u"EH"_s;
                }
                added += g.addStack(stack);
            }
        } else if (kind < 0.56) {
            added = g.addPieces(conifer ? wood.first() : u"FI"_s, std::min(random.between(1, 4), remaining));
        } else if (kind < 0.65) {
            added = g.addWeights(conifer ? wood.first() : u"FI"_s, u"IS"_s,
                random.chance(0.5) ? UnitTonnesAtro : UnitTonnesLutro, std::min(random.between(2, 6), remaining));
        } else if (kind < 0.70 && conifer) {
            added = g.addShortLogs(wood.first(), std::min(random.between(4, 12), remaining));
        }
        if (added == 0)
            added = g.addLogs(wood, u"L"_s, std::min(random.between(5, 30), remaining));
        remaining -= added;
        lotRemaining -= added;
    }
    g.finishPile();
    return recordIds(g);
}

std::vector<qint64> writeSmallPileList(ListGenerator &g, int records, const QString &list)
{
    Random &random = g.random();
    beginGeneratedList(g, records, list);
    const QStringList wood = {u"FI"_s, u"TA"_s};
    int remaining = records;
    int sinceJacket = 0;
    int stacks = 0;
    for (int pile = 1; remaining > 0; ++pile) {
        g.beginPile({.lot = QString::number(1 + pile / 8), .pile = QString::number(pile), .location = 1 + pile % 6});
        for (int inPile = 0; inPile < 50 && remaining > 0;) {
            int added = 0;
            if (sinceJacket >= 20) {
                added = g.addJacket(wood, 10, 6, remaining);
                sinceJacket = 0;
            } else if (random.chance(0.2)) {
                StackShape stack{.species = u"FI"_s, .grade = u"IL"_s};
                if (stacks++ % 2 == 0) {
                    stack.method = StackMethod::Heights;
                    stack.heights = random.between(5, 12);
                }
                added = g.addStack(stack);
            }
            if (added == 0)
                added = g.addLogs(wood, u"L"_s, std::min(5, remaining));
            inPile += added;
            sinceJacket += added;
            remaining -= added;
        }
    }
    g.finishPile();
    return recordIds(g);
}

} // namespace DemoLists

} // namespace tannbuch
