#include "DemoIni.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>

namespace tannbuch {

namespace {

// A fir tree on a green disc, 96 by 96 pixels: the logo of the demo office.
QImage drawLogo()
{
    QImage image(96, 96, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x6b, 0x3a));
    p.drawEllipse(2, 2, 92, 92);
    p.setBrush(QColor(0xf2, 0xf5, 0xef));
    const QPointF tree[] = {{48, 12}, {72, 46}, {60, 46}, {78, 70}, {18, 70}, {36, 46}, {24, 46}};
    p.drawPolygon(tree, 7);
    p.setBrush(QColor(0x7a, 0x52, 0x30));
    p.drawRect(43, 70, 10, 14);
    return image;
}

} // namespace

int writeDemoIni(const QString &iniPath, const QString &databasePath, const QString &templateFolder)
{
    const QFileInfo ini(iniPath);
    QDir().mkpath(ini.absolutePath());
    const QString logoPath = ini.absoluteDir().filePath(QStringLiteral("logo.png"));
    if (!drawLogo().save(logoPath, "PNG")) {
        QTextStream(stderr) << QStringLiteral("Das Logo konnte nicht geschrieben werden: ") << logoPath << Qt::endl;
        return 1;
    }

    QSaveFile file(ini.absoluteFilePath());
    if (!file.open(QIODevice::WriteOnly)) {
        QTextStream(stderr) << QStringLiteral("Die Ini-Datei konnte nicht geschrieben werden: ") << iniPath << Qt::endl;
        return 1;
    }
    // The host writes its ini file in Windows-1252; the demo stays in ASCII.
    const QString text
        = QStringLiteral("[Kelmora]\r\n"
                         "DATABASENAME=forst\r\n"
                         "SQLSERVER=%1\r\n"
                         "AL=1\r\n"
                         "RELTABLE=RELTABLE1\r\n"
                         "CLIENT=ALF\r\n"
                         "PathTemplates=%2\r\n"
                         "Headerline1=Forstbetrieb Oberland\r\n"
                         "Headerline2=Revier Sued - Am Weiher 3 - 83022 Rosenheim\r\n"
                         "Headerline3=08031 / 40 77-0\r\n"
                         "Headerpicture1=%3\r\n")
              .arg(QFileInfo(databasePath).absoluteFilePath(), QDir(templateFolder).absolutePath(), logoPath);
    file.write(text.toLatin1());
    if (!file.commit()) {
        QTextStream(stderr) << QStringLiteral("Die Ini-Datei konnte nicht geschrieben werden: ") << iniPath << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace tannbuch
