#pragma once

#include <QString>

#include <vector>

namespace tannbuch {

class ListGenerator;

// The timber lists of the demo database.
namespace DemoLists {

// Record ids of the demo provisions.
struct Provisions
{
    std::vector<qint64> demo; // every record of list 4711
    std::vector<qint64> partial; // lot 2 of list 4711
};

// Writes lists 4711, 4712, 4713 and 4720 (see DemoLists.cpp for their
// shape) and returns the records of the provisions.
Provisions write(ListGenerator &generator);

// Writes one list of exactly `records` records with the mix of a large
// forest office: mostly single logs, stacks with heights, pieces, weights,
// short logs and jacket measurements, over many lots and piles. Returns the
// ids of its records.
std::vector<qint64> writeBenchmarkList(ListGenerator &generator, int records, const QString &list);

// Writes one list of exactly `records` records in piles of about 50
// records, each pile with coordinates of its own: single logs, a jacket
// measurement after every 20 records, stacks of which every other one has
// its heights measured. A report of it writes a lot summary for every few
// dozen rows. Returns the ids of its records.
std::vector<qint64> writeSmallPileList(ListGenerator &generator, int records, const QString &list);

} // namespace DemoLists

} // namespace tannbuch
