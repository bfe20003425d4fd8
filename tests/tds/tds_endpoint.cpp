// Serves a SQLite database as a SQL Server endpoint for manual runs and
// benchmarks: tds_endpoint DB.sqlite [latency-ms]. Prints the connection
// string and serves until standard input ends.
#include "TdsEndpoint.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>

using namespace tannbuch;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tds_endpoint DB.sqlite [latency-ms]\n");
        return 2;
    }
    tds::Endpoint endpoint(QString::fromLocal8Bit(argv[1]));
    if (argc > 2) {
        tds::Faults faults;
        faults.latencyMs = std::stoi(argv[2]);
        endpoint.setFaults(faults);
    }
    std::printf("%s\n", qPrintable(endpoint.connectionString()));
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) { }
    return 0;
}
