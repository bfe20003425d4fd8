#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << QStringLiteral("Tannbuch ") << QStringLiteral(TANNBUCH_VERSION) << Qt::endl;
    return 0;
}
