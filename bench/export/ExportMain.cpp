// `corvane --export ...` as a program of its own, for the side-by-side benchmark.
#include "app/export/ExportCommand.h"

#include <QString>
#include <QStringList>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    if (!IsExportRequest(args)) {
        args.insert(1, QStringLiteral("--help"));
    }
    return RunExport(args);
}
