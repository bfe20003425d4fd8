#include "CommandLineHelp.h"

#include <QLocale>

namespace tannbuch {

namespace CommandLineHelp {

Request requestOf(const QString &commandLine)
{
    if (commandLine == u"--help" || commandLine == u"-h")
        return Request::Help;
    if (commandLine == u"--version")
        return Request::Version;
    return Request::None;
}

QString usage()
{
    return QStringLiteral(
        "Tannbuch druckt Holzlisten aus der Datenbank der Forstanwendung.\n"
        "\n"
        "Aufruf:\n"
        "  tannbuch \"Verbindung|Ini-Datei|Zugriffsebene|Haushaltsjahr|Liste|Listenart|Bereitstellung|Ordner\"\n"
        "  tannbuch --help | -h     diese Hilfe\n"
        "  tannbuch --version       Name und Version\n"
        "  tannbuch --check-template Vorlage [Ini-Datei]\n"
        "                           prüft eine Vorlage, wie ein Ausdruck sie liest, ohne zu drucken\n"
        "  tannbuch --preview Ausgabe.pdf Vorlage [Ini-Datei] [--list Liste]\n"
        "                           druckt den Bericht der Vorlage ohne Fenster in ein PDF: von der\n"
        "                           Demoliste, mit --list von dieser Liste über die Verbindung der Ini-Datei\n"
        "\n"
        "Die Felder, durch \"|\" getrennt (jedes darf leer sein oder fehlen):\n"
        "  0  Verbindungszeichenfolge; leer: DATABASENAME und SQLSERVER aus der Ini-Datei\n"
        "  1  Ini-Datei; leer: kelmora.ini im Ordner des Programms\n"
        "  2  Zugriffsebene (ganze Zahl; AL der Ini-Datei, wenn Feld 0 leer ist)\n"
        "  3  Haushaltsjahr-Spalte RELTABLE1 bis RELTABLE10 (RELTABLE der Ini-Datei, wenn Feld 0 leer ist)\n"
        "  4  Liste\n"
        "  5  Listenart (ganze Zahl; vorhanden, aber leer: 0)\n"
        "  6  Bereitstellung: Ausdruck ohne Fenster, danach endet das Programm\n"
        "  7  Speicherordner: der Bericht wird dort als <Bereitstellung>_<Liste>.xlsx gespeichert\n"
        "\n"
        "Eigene Schlüssel in der Ini-Datei (die Forstanwendung übergeht sie):\n"
        "  SavePdf=1         ein Ausdruck ohne Fenster schreibt auch ein PDF neben die Arbeitsmappe\n"
        "  InstanceWait=120  Sekunden, die ein Ausdruck ohne Fenster auf einen anderen wartet (höchstens 3600)\n"
        "  QueryTimeout=60   Sekunden, die eine Abfrage höchstens dauert\n"
        "  RunLog=Datei      Protokoll der Ausdrucke ohne Fenster, eine Zeile je Lauf; Vorgabe:\n"
        "                    $XDG_STATE_HOME/tannbuch/runs.log, sonst ~/.local/state/tannbuch/runs.log\n"
        "\n"
        "Umgebungsvariablen:\n"
        "  DISPLAY, WAYLAND_DISPLAY  der Bildschirm des Hauptfensters\n"
        "  TANNBUCH_PRINT_COMMAND    druckt statt lp; bekommt den Pfad des PDF als letztes Argument\n"
        "  TANNBUCH_ODBC_DRIVER      ODBC-Treiber für SQL Server (Name aus odbcinst.ini oder Pfad)\n"
        "  TANNBUCH_OFFICE_PROGRAM   Tabellenprogramm, das alte .xlt-Vorlagen umwandelt\n"
        "  TANNBUCH_INSTANCE_KEY     ersetzt den Schlüssel der Sperren gegen gleichzeitige Läufe\n"
        "  TANNBUCH_PREFETCH=0       jede Abfrage einzeln, zum Vergleich\n"
        "  XDG_STATE_HOME            Ordner des Protokolls\n"
        "\n"
        "Rückgabewerte:\n"
        "  0  gedruckt (Warnungen stehen in der Standardfehlerausgabe)\n"
        "  1  fehlgeschlagen; die Meldung steht in der Standardfehlerausgabe\n"
        "  2  kein Bildschirm für das Hauptfenster\n"
        "  --check-template: 0 nichts zu beanstanden, 1 Befunde, 2 Vorlage nicht lesbar\n");
}

QString version(const QString &qtTexts)
{
    const QString texts = qtTexts.isEmpty() ? QStringLiteral("keine für %1").arg(QLocale().name()) : qtTexts;
    return QStringLiteral("Tannbuch %1\nQt %2, Qt-Texte: %3\n")
        .arg(QStringLiteral(TANNBUCH_VERSION), QString::fromLatin1(qVersion()), texts);
}

QString noDisplayMessage()
{
    return QStringLiteral("Tannbuch: Kein Bildschirm verfügbar: Das Hauptfenster braucht eine grafische Sitzung "
                          "(DISPLAY oder WAYLAND_DISPLAY); dort starten oder für einen Ausdruck ohne Fenster "
                          "eine Bereitstellung angeben.\nHilfe: tannbuch --help\n");
}

} // namespace CommandLineHelp

} // namespace tannbuch
