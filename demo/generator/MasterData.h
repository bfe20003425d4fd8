#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace tannbuch {

class SqliteWriter;

// Row ids of the master data that the timber lists refer to.
namespace DemoIds {

enum Unit { UnitFm = 1, UnitRm, UnitSRm, UnitPieces, UnitTonnesAtro, UnitTonnesLutro };

enum Person {
    SawmillHuber = 1,
    SawmillStadler,
    PaperMillSuedholz,
    HeatingPlant,
    HaulierWimmer,
    ContractorBerger,
    SkidderLechner,
    OwnerMaier,
    RailLogistics
};

enum ListType { Stammholz = 1, Industrieholz, Brennholz, Energieholz };

enum SalesType { PrivateSale = 1, Tender, FrameContract, SelfHarvest };

enum BarkCode { WithBark = 1, WithoutBark, PartlyDebarked };

// RELTABLE rows. Kind 1 holds the business years, kind 2 the districts,
// kind 3 the contracts, kind 4 the certification.
enum RelationRow {
    Year2023 = 1,
    Year2024,
    Year2024_25,
    Year2025,
    Year2026,
    Year2027Disabled,
    DistrictNord = 11,
    DistrictSued,
    DistrictWeiher,
    ContractHuber = 21,
    ContractSuedholz,
    CertificatePefc = 31,
    CertificateFsc
};

enum AccessLevel { LevelOberland = 1, LevelNord, LevelSued, LevelSuedWeiher, LevelChiemgau };

enum Provision { ProvisionDemo = 1, ProvisionPartial, ProvisionEmpty };

} // namespace DemoIds

// The master data of the demo database: units, wood types and grades with
// their rates, forest locations, customers, relation tables, texts and
// settings. Built in memory by the constructor, written by write(); the list
// generator asks it for the properties of wood types, grades and locations.
class MasterData
{
public:
    struct Species
    {
        QString code; // HOLZART.HA
        QString name; // HA_LANG
        QString rateGroup; // ZUORD_MSZ
        bool conifer;
        double stackFactor; // Fm per Rm
        double atroFactor; // Fm per tonne oven-dry
        double lutroFactor; // Fm per tonne air-dry
    };

    struct Grade
    {
        QString code; // HOLZSORTE.HS
        QString name; // HS_LANG
        QString rateGroup; // ZUORD_MSZ
    };

    struct ForestLocation
    {
        int id; // ID_WALDORT
        QString name; // LANGNAME, null when the location has none
        QStringList parts; // WO1.., empty parts stored as NULL
        int easting; // Gauss-Krüger Rechtswert of its centre
        int northing; // Hochwert
        QString road; // access road, the first additional text
    };

    MasterData();

    // Writes every master table; the caller holds the transaction.
    void write(SqliteWriter &db) const;

    // Properties of a wood type or grade by code; throws GeneratorError for
    // an unknown code.
    const Species &species(const QString &code) const;
    const Grade &grade(const QString &code) const;

    const ForestLocation &forestLocation(int id) const;
    const std::vector<ForestLocation> &forestLocations() const { return m_locations; }

    // Rate in euro per Fm from D_MSZ, looked up the way the condensed report
    // joins it; empty when no row matches (stacks and weights have no
    // diameter class, so they never have a rate).
    std::optional<double> rate(
        const QString &species, const QString &grade, const QString &diameterClass, int recordType) const;

private:
    struct Rate
    {
        QString speciesGroup;
        QString gradeGroup;
        QString diameterClass;
        int recordType;
        double euro;
    };

    void addRates(const QString &speciesGroup, const QString &gradeGroup, int recordType, const QStringList &classes,
        const std::vector<double> &euros);
    static QString rateKey(
        const QString &speciesGroup, const QString &gradeGroup, const QString &diameterClass, int recordType);

    std::vector<Species> m_species;
    std::vector<Grade> m_grades;
    std::vector<ForestLocation> m_locations;
    std::vector<Rate> m_rates; // in the order written
    std::map<QString, double> m_rateByKey;
};

} // namespace tannbuch
