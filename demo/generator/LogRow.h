#pragma once

#include "SqlValue.h"

#include <QStringList>

#include <array>

// The columns of table LOGS in the order of the schema. The list is written
// once here and expands into both the column index and the column names, so
// the two cannot drift apart.
// clang-format off
#define TANNBUCH_LOG_COLUMNS(X) \
    X(ID_LOG) X(LISTE) X(LISTDATUM) X(LISTZUSTXT) X(LISTENART) X(LOS) X(POLTNR) X(DSART) X(BLNR) X(KLST) X(HA) \
    X(HS) X(GKL) X(STKL) X(LAENGE) X(STAPELLANGE) X(KORREKTUR) X(DURCH) X(STK) X(KUBATUR) X(KUBRM) X(KUBATRO) \
    X(KUBLUTO) X(UFAKT_RM) X(UFAKT_STK) X(UFAKT_ATO) X(UFAKT_LUT) X(ID_MASSEINHEIT) X(ID_WALDORT) X(ID_MANTEL) \
    X(KKLASSE) X(ID_RINDENKENNZ) X(RINDEPROZENT) X(RINDE_WERT) X(ZUSTXT) X(ZUSTEXT1) X(ZUSTEXT2) X(ZUSTEXT3) \
    X(ZUSTEXT4) X(ZUSTEXT5) X(COORDINATE1) X(COORDINATE2) X(WAGNR) X(FARBE) X(FREI1) X(FREI2) X(FREI3) \
    X(FREI4) X(FREI5) X(ANGEBOT) X(MEFVERF) X(MENGEN) X(EST) X(ZUGANG) X(ABGANG) X(RUCKE) X(SPALT) \
    X(ABGANGSDATUM) X(MSZ) X(NA) X(KA) X(RELTABLE1) X(RELTABLE2) X(RELTABLE3) X(RELTABLE4) X(RELTABLE5) \
    X(RELTABLE6) X(RELTABLE7) X(RELTABLE8) X(RELTABLE9) X(RELTABLE10) X(ID_VERKAUFSART) \
    X(ID_TRANSPORTLOGISTIK)

namespace tannbuch {

// clang-format on

// Column index of LOGS, named as the column: LogColumn::KUBATUR.
namespace LogColumn {
#define TANNBUCH_LOG_ENUM(name) name,
enum Column : int { TANNBUCH_LOG_COLUMNS(TANNBUCH_LOG_ENUM) Count };
#undef TANNBUCH_LOG_ENUM
} // namespace LogColumn

// One LOGS record being built: every column NULL until set.
class LogRow
{
public:
    SqlValue &operator[](LogColumn::Column column) { return m_values[std::size_t(column)]; }
    const SqlValue &operator[](LogColumn::Column column) const { return m_values[std::size_t(column)]; }

    const SqlValue *data() const { return m_values.data(); }

    static QStringList columnNames()
    {
#define TANNBUCH_LOG_NAME(name) QStringLiteral(#name),
        return {TANNBUCH_LOG_COLUMNS(TANNBUCH_LOG_NAME)};
#undef TANNBUCH_LOG_NAME
    }

private:
    std::array<SqlValue, LogColumn::Count> m_values;
};

} // namespace tannbuch
