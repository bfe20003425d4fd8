-- Demo schema: the tables and columns of the forestry host database that
-- Tannbuch reads, as an SQLite database for demos, tests and benchmarks.
--
--   sqlite3 new.sqlite < demo/schema.sql
--
-- Conventions, chosen so that the host's SQL Server statements behave alike:
-- * Every text column is COLLATE NOCASE. At run time the program replaces
--   NOCASE with a comparison that also ignores trailing blanks and the case
--   of letters beyond ASCII, as SQL Server does. An index keeps the order of
--   the collation it was built with, so keys are integers and text columns
--   are indexed only where a report's costly statements filter or join by
--   them, as the host's server does: IX_LOGS_POLTER and IX_LOGS_LOS find the
--   records of a pile and of a lot (a report asks for each pile's totals,
--   and lot by lot for each lot's records); IX_HOLZART_HA, IX_HOLZSORTE_HS
--   and IX_D_MSZ_KEY serve the condensed section's joins, once for every
--   record. The program's own writers (the demo generator, the tests) build
--   them with the program's comparison. After changing these tables with
--   the sqlite3 shell, whose NOCASE differs for texts with trailing blanks
--   or non-ASCII letters, run "tannbuch-demo reindex DB.sqlite" so that they
--   are in that order again.
-- * Types follow the host: INTEGER for int/bit, REAL for decimal/float, TEXT
--   for (n)varchar, DATETIME for datetime. Dates are ISO text
--   'YYYY-MM-DD HH:MM:SS' (DATETIME has numeric affinity in SQLite, which
--   leaves such text untouched).
-- * Columns the program does not read are kept to a few that make the data
--   readable (BEZEICHNUNG and the like).

-- Access levels: a code of two-digit steps; a code ending in zeros covers
-- every code with the same prefix.
CREATE TABLE ACCESS_LEVELS (
    ID              INTEGER PRIMARY KEY,
    ACCESS_LEVELS   TEXT COLLATE NOCASE,
    BEZEICHNUNG     TEXT COLLATE NOCASE
);

-- Display texts by number; the customer's wording wins over the standard one.
CREATE TABLE STRINGS (
    ID_STRING       INTEGER PRIMARY KEY,
    CUSTOM_GERMAN   TEXT COLLATE NOCASE,
    GERMAN          TEXT COLLATE NOCASE
);

-- Program options (KUBATURPLACE: decimal places of volumes).
CREATE TABLE OPTIONEN (
    ID              INTEGER PRIMARY KEY,
    PROPERTY_ID     TEXT COLLATE NOCASE,
    NUMBER_VALUE    REAL,
    TEXT_VALUE      TEXT COLLATE NOCASE
);

-- Settings of the host's input forms (F_STAMMEINKONF: where the additional
-- texts and coordinates of a record are printed).
CREATE TABLE FORMS_CONFIG (
    ID              INTEGER PRIMARY KEY,
    FORM_ID         TEXT COLLATE NOCASE,
    PROPERTY_ID     TEXT COLLATE NOCASE,
    NUMBER_VALUE    REAL,
    TEXT_VALUE      TEXT COLLATE NOCASE
);

-- List types (Stammholz, Industrieholz, ...).
CREATE TABLE LISTENART (
    LISTENART       INTEGER PRIMARY KEY,
    TEXT            TEXT COLLATE NOCASE
);

-- Relation tables: ten kinds of master data told apart by RELTABLE_ID
-- (1 business years, 2 districts, ...), referenced by LOGS.RELTABLE1-10.
CREATE TABLE RELTABLE (
    ID              INTEGER PRIMARY KEY,
    RELTABLE_ID     INTEGER,
    KURZNAME        TEXT COLLATE NOCASE,
    LANGNAME        TEXT COLLATE NOCASE,
    DISABLE         INTEGER
);
CREATE INDEX IX_RELTABLE_RELTABLE_ID ON RELTABLE (RELTABLE_ID);

-- Head data of a timber list, one row per list number.
CREATE TABLE LISTENKOPF (
    ID                  INTEGER PRIMARY KEY,
    LISTE               TEXT COLLATE NOCASE NOT NULL,
    ID_ACCESS_LEVELS    INTEGER,
    LISTENKOPFZUSTXT    TEXT COLLATE NOCASE,
    TEXT1  TEXT COLLATE NOCASE, TEXT2  TEXT COLLATE NOCASE, TEXT3  TEXT COLLATE NOCASE,
    TEXT4  TEXT COLLATE NOCASE, TEXT5  TEXT COLLATE NOCASE, TEXT6  TEXT COLLATE NOCASE,
    TEXT7  TEXT COLLATE NOCASE, TEXT8  TEXT COLLATE NOCASE, TEXT9  TEXT COLLATE NOCASE,
    TEXT10 TEXT COLLATE NOCASE, TEXT11 TEXT COLLATE NOCASE, TEXT12 TEXT COLLATE NOCASE,
    TEXT13 TEXT COLLATE NOCASE, TEXT14 TEXT COLLATE NOCASE, TEXT15 TEXT COLLATE NOCASE,
    NUMBER1 REAL, NUMBER2 REAL, NUMBER3 REAL, NUMBER4 REAL, NUMBER5 REAL,
    NUMBER6 REAL, NUMBER7 REAL, NUMBER8 REAL, NUMBER9 REAL, NUMBER10 REAL,
    DATE1 DATETIME, DATE2 DATETIME, DATE3 DATETIME, DATE4 DATETIME, DATE5 DATETIME
);
CREATE INDEX IX_LISTENKOPF_ID_ACCESS_LEVELS ON LISTENKOPF (ID_ACCESS_LEVELS);

-- Record types: 1 single logs, 2 stacked wood, 3 counted pieces, 4 weight,
-- 5 short logs, 6 extrapolated jacket records.
CREATE TABLE DSART (
    ID              INTEGER PRIMARY KEY,
    NAME            TEXT COLLATE NOCASE
);

-- Wood types; ZUORD_MSZ names the wood-type group of the rate table D_MSZ.
CREATE TABLE HOLZART (
    ID              INTEGER PRIMARY KEY,
    HA              TEXT COLLATE NOCASE,
    HA_LANG         TEXT COLLATE NOCASE,
    ZUORD_MSZ       TEXT COLLATE NOCASE
);
CREATE INDEX IX_HOLZART_HA ON HOLZART (HA);

-- Grades; ZUORD_MSZ names the grade group of the rate table D_MSZ.
CREATE TABLE HOLZSORTE (
    ID              INTEGER PRIMARY KEY,
    HS              TEXT COLLATE NOCASE,
    HS_LANG         TEXT COLLATE NOCASE,
    ZUORD_MSZ       TEXT COLLATE NOCASE
);
CREATE INDEX IX_HOLZSORTE_HS ON HOLZSORTE (HS);

-- Rates in euro per solid cubic metre, by wood-type group, grade group,
-- diameter class and record type; at most one row per key.
CREATE TABLE D_MSZ (
    ID              INTEGER PRIMARY KEY,
    HA              TEXT COLLATE NOCASE,
    HS              TEXT COLLATE NOCASE,
    STKL            TEXT COLLATE NOCASE,
    DSART           INTEGER,
    MSZ_EURO        REAL
);
CREATE INDEX IX_D_MSZ_KEY ON D_MSZ (DSART, HA, HS, STKL);

-- Units of measure; GEWICHT_LUTRO = 1 for units weighed air-dry.
CREATE TABLE WARENEINHEIT (
    EINHEIT_ID      INTEGER PRIMARY KEY,
    EINHEIT         TEXT COLLATE NOCASE,
    BEZEICHNUNG     TEXT COLLATE NOCASE,
    GEWICHT_LUTRO   INTEGER
);

-- Volume classes of single logs.
CREATE TABLE KUBATURKLASSE (
    ID              INTEGER PRIMARY KEY,
    KKLASSE         TEXT COLLATE NOCASE
);

-- Debarking codes.
CREATE TABLE RINDENKENNZ (
    ID_RINDENKENNZ  INTEGER PRIMARY KEY,
    RINDENKENNZ     TEXT COLLATE NOCASE,
    BEZEICHNUNG     TEXT COLLATE NOCASE
);

-- Sales types.
CREATE TABLE VERKAUFSART (
    ID              INTEGER PRIMARY KEY,
    SHORT           TEXT COLLATE NOCASE,
    LONG            TEXT COLLATE NOCASE
);

-- Forest locations: a long name and up to six code parts
-- (district / compartment / subcompartment / ...).
CREATE TABLE WALDORT (
    ID_WALDORT      INTEGER PRIMARY KEY,
    LANGNAME        TEXT COLLATE NOCASE,
    WO1 TEXT COLLATE NOCASE, WO2 TEXT COLLATE NOCASE, WO3 TEXT COLLATE NOCASE,
    WO4 TEXT COLLATE NOCASE, WO5 TEXT COLLATE NOCASE, WO6 TEXT COLLATE NOCASE
);

-- Customers and contractors.
CREATE TABLE PERSONAL (
    ID_PERSONAL     INTEGER PRIMARY KEY,
    KURZBEZEICHNUNG TEXT COLLATE NOCASE,
    NUMMER          INTEGER,
    NAME            TEXT COLLATE NOCASE,
    VORNAME         TEXT COLLATE NOCASE,
    PLZ             TEXT COLLATE NOCASE,
    ORT             TEXT COLLATE NOCASE,
    STRASSE         TEXT COLLATE NOCASE
);

-- Rail wagons and transports (truck loads or wagon loads).
CREATE TABLE TRANSPORTLOGISTIK_WAGGON (
    ID              INTEGER PRIMARY KEY,
    DATUM_VERLADE   DATETIME,
    WAGGON_NR       TEXT COLLATE NOCASE
);

CREATE TABLE TRANSPORTLOGISTIK (
    ID                          INTEGER PRIMARY KEY,
    ID_TRANSPORTLOGISTIK_WAGGON INTEGER,
    LOS                         TEXT COLLATE NOCASE,
    STUCK                       INTEGER,
    KUBATUR                     REAL,
    EINGANGS_DATUM              DATETIME,
    Z_TEXT_1                    TEXT COLLATE NOCASE,
    Z_TEXT_2                    TEXT COLLATE NOCASE,
    Z_DATUM_1                   DATETIME,
    PID                         TEXT COLLATE NOCASE,
    POLTER                      TEXT COLLATE NOCASE,
    LKW_NR                      TEXT COLLATE NOCASE,
    BAHNHOF                     TEXT COLLATE NOCASE,
    LIEFERSCHEIN_NR             TEXT COLLATE NOCASE
);
CREATE INDEX IX_TRANSPORTLOGISTIK_WAGGON ON TRANSPORTLOGISTIK (ID_TRANSPORTLOGISTIK_WAGGON);

-- Measurement records: single logs, stacks, pieces, weights, jacket records.
CREATE TABLE LOGS (
    ID_LOG          INTEGER PRIMARY KEY,
    LISTE           TEXT COLLATE NOCASE,
    LISTDATUM       DATETIME,
    LISTZUSTXT      TEXT COLLATE NOCASE,
    LISTENART       INTEGER,
    LOS             TEXT COLLATE NOCASE,
    POLTNR          TEXT COLLATE NOCASE,
    DSART           INTEGER,
    BLNR            INTEGER,
    KLST            INTEGER,
    HA              TEXT COLLATE NOCASE,
    HS              TEXT COLLATE NOCASE,
    GKL             TEXT COLLATE NOCASE,
    STKL            TEXT COLLATE NOCASE,
    LAENGE          REAL,
    STAPELLANGE     REAL,
    KORREKTUR       REAL,
    DURCH           REAL,
    STK             INTEGER,
    KUBATUR         REAL,
    KUBRM           REAL,
    KUBATRO         REAL,
    KUBLUTO         REAL,
    UFAKT_RM        REAL,
    UFAKT_STK       REAL,
    UFAKT_ATO       REAL,
    UFAKT_LUT       REAL,
    ID_MASSEINHEIT  INTEGER,
    ID_WALDORT      INTEGER,
    ID_MANTEL       INTEGER,
    KKLASSE         INTEGER,
    ID_RINDENKENNZ  INTEGER,
    RINDEPROZENT    INTEGER,
    RINDE_WERT      REAL,
    ZUSTXT          TEXT COLLATE NOCASE,
    ZUSTEXT1        TEXT COLLATE NOCASE,
    ZUSTEXT2        TEXT COLLATE NOCASE,
    ZUSTEXT3        TEXT COLLATE NOCASE,
    ZUSTEXT4        TEXT COLLATE NOCASE,
    ZUSTEXT5        TEXT COLLATE NOCASE,
    COORDINATE1     TEXT COLLATE NOCASE,
    COORDINATE2     TEXT COLLATE NOCASE,
    WAGNR           TEXT COLLATE NOCASE,
    FARBE           TEXT COLLATE NOCASE,
    FREI1           TEXT COLLATE NOCASE,
    FREI2           TEXT COLLATE NOCASE,
    FREI3           TEXT COLLATE NOCASE,
    FREI4           TEXT COLLATE NOCASE,
    FREI5           TEXT COLLATE NOCASE,
    ANGEBOT         TEXT COLLATE NOCASE,
    MEFVERF         TEXT COLLATE NOCASE,
    MENGEN          REAL,
    EST             TEXT COLLATE NOCASE,
    ZUGANG          REAL,
    ABGANG          REAL,
    RUCKE           TEXT COLLATE NOCASE,
    SPALT           INTEGER,
    ABGANGSDATUM    DATETIME,
    MSZ             REAL,
    NA              REAL,
    KA              REAL,
    RELTABLE1       INTEGER,
    RELTABLE2       INTEGER,
    RELTABLE3       INTEGER,
    RELTABLE4       INTEGER,
    RELTABLE5       INTEGER,
    RELTABLE6       INTEGER,
    RELTABLE7       INTEGER,
    RELTABLE8       INTEGER,
    RELTABLE9       INTEGER,
    RELTABLE10      INTEGER,
    ID_VERKAUFSART  INTEGER,
    ID_TRANSPORTLOGISTIK INTEGER
);
CREATE INDEX IX_LOGS_ID_MANTEL ON LOGS (ID_MANTEL);
CREATE INDEX IX_LOGS_ID_TRANSPORTLOGISTIK ON LOGS (ID_TRANSPORTLOGISTIK);
-- A pile and a lot of a list: the expressions are those the report's
-- statements compare, so that the indexes serve them.
CREATE INDEX IX_LOGS_POLTER ON LOGS (LISTE, (ifnull(POLTNR,'') COLLATE NOCASE), (ifnull(LOS,'') COLLATE NOCASE));
CREATE INDEX IX_LOGS_LOS ON LOGS (LISTE, (ifnull(LOS,'') COLLATE NOCASE));

-- Prices and customers of a record, at most one row per record: the
-- invoice recipient (R_) and up to eight further roles (A1_ to A8_).
CREATE TABLE LOGS_RECH (
    ID              INTEGER PRIMARY KEY,
    ID_LOG          INTEGER NOT NULL,
    R_KUNDE         INTEGER,
    A1_KUNDE INTEGER, A2_KUNDE INTEGER, A3_KUNDE INTEGER, A4_KUNDE INTEGER,
    A5_KUNDE INTEGER, A6_KUNDE INTEGER, A7_KUNDE INTEGER, A8_KUNDE INTEGER,
    R_PREIS         REAL,
    A1_PREIS REAL, A2_PREIS REAL, A3_PREIS REAL, A4_PREIS REAL,
    A5_PREIS REAL, A6_PREIS REAL, A7_PREIS REAL, A8_PREIS REAL
);
CREATE INDEX IX_LOGS_RECH_ID_LOG ON LOGS_RECH (ID_LOG);

-- Jacket measurements: the individually measured sample logs of a jacket
-- (many rows per ID_MANTEL); LOGS holds the extrapolated type-6 records.
CREATE TABLE MANTEL (
    ID              INTEGER PRIMARY KEY,
    ID_MANTEL       INTEGER NOT NULL,
    HA              TEXT COLLATE NOCASE,
    HS              TEXT COLLATE NOCASE,
    GKL             TEXT COLLATE NOCASE,
    STKL            TEXT COLLATE NOCASE,
    LANGE           REAL,
    DURCH           REAL,
    STUCK           INTEGER,
    KUBATUR         REAL,
    ENTRINDUNG      TEXT COLLATE NOCASE,
    RINDE           REAL
);
CREATE INDEX IX_MANTEL_ID_MANTEL ON MANTEL (ID_MANTEL);

-- Stacked-wood heights along the face of a pile, front and back, in metres,
-- in the order they were taken (NR).
CREATE TABLE SCHICHT_HOEHEN (
    ID              INTEGER PRIMARY KEY,
    ID_LOG          INTEGER NOT NULL,
    NR              INTEGER,
    HEIGHT          REAL
);
CREATE INDEX IX_SCHICHT_HOEHEN_ID_LOG ON SCHICHT_HOEHEN (ID_LOG);

CREATE TABLE SCHICHT_HOEHEN_HINTEN (
    ID              INTEGER PRIMARY KEY,
    ID_LOG          INTEGER NOT NULL,
    NR              INTEGER,
    HEIGHT          REAL
);
CREATE INDEX IX_SCHICHT_HOEHEN_HINTEN_ID_LOG ON SCHICHT_HOEHEN_HINTEN (ID_LOG);

-- Head of a two-part stack measurement: part A (measured heights) and the
-- sloping end part B, at the front (_V) and the back (_H); their averages;
-- the volumes of part A, part B, the bearers (part C) and the whole, in Rm.
CREATE TABLE SCHICHT_HOEHEN_KOPF (
    ID              INTEGER PRIMARY KEY,
    ID_LOG          INTEGER NOT NULL,
    LANG_V          REAL,
    LANG_A_V        REAL,
    LANG_B_V        REAL,
    HOEHE_B_V       REAL,
    LANG_H          REAL,
    LANG_A_H        REAL,
    LANG_B_H        REAL,
    HOEHE_B_H       REAL,
    HOEHE_A         REAL,
    LANG_A          REAL,
    LANG_B          REAL,
    HOEHE_B         REAL,
    VOL_A           REAL,
    VOL_B           REAL,
    VOL_C           REAL,
    VOL             REAL
);
CREATE INDEX IX_SCHICHT_HOEHEN_KOPF_ID_LOG ON SCHICHT_HOEHEN_KOPF (ID_LOG);

-- Provisions: named sets of records prepared for one dispatch.
CREATE TABLE BEREITSTELLUNG_KOPF (
    ID                  INTEGER PRIMARY KEY,
    BEREITSTELLUNGSNAME TEXT COLLATE NOCASE
);

CREATE TABLE BEREITSTELLUNG_LOGS (
    ID                      INTEGER PRIMARY KEY,
    ID_BEREITSTELLUNG_KOPF  INTEGER NOT NULL,
    ID_LOGS                 INTEGER
);
CREATE INDEX IX_BEREITSTELLUNG_LOGS_KOPF ON BEREITSTELLUNG_LOGS (ID_BEREITSTELLUNG_KOPF);
