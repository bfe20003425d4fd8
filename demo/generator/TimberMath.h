#pragma once

#include <QString>

namespace tannbuch {

// Measuring rules of the demo data: how volumes and classes follow from
// diameters and lengths, as the host's measuring software computes them.
namespace TimberMath {

// Rounds half away from zero to the given number of decimals.
double roundTo(double value, int decimals);

// Solid volume in Fm of a log from its mid diameter in cm and its length in
// m (the cylinder of the mid section), rounded to 3 decimals.
double logVolume(double diameterCm, double lengthM);

// Diameter class of a mid diameter in cm: "0" below 10 cm, then "1a" (10 to
// 14), "1b" (15 to 19), ... "5b" (55 to 59), "6" from 60 cm.
QString diameterClass(double diameterCm);

// Row id of the volume class (table KUBATURKLASSE) of a single log's volume.
int volumeClass(double volumeFm);

} // namespace TimberMath

} // namespace tannbuch
