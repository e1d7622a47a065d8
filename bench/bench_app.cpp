// The program's entry and start-up sequence as a whole process, quitting once the start-up is done.
//   bench_app prepare   first run: writes the settings and creates the year's table, prints its path
//   bench_app start     a later run: start-up only; any message is a failure (exit code 2)
//   bench_app memory    a later run, then the diary table opened and paged to its end; prints VmHWM
// Started by bench_start with HOME and the XDG folders pointed at a scratch folder.

#include "app/MessageBox.h"
#include "app/Program.h"
#include "bench/BenchSupport.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "data/Messages.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace
{

void PageToEnd()
{
    TTable& table = *FDB->T_Nortav;
    table.Open();
    int rows = 1;
    for (table.Next(); !table.Eof(); table.Next())
        ++rows;
    std::printf("ROWS %d\n", rows);
}

void PrintTablePath()
{
    const auto read = [](const char* name) { return FConf->LeggiReg(ChiaveReg, QLatin1String(name)); };
    std::printf("TABLE %s\n", qPrintable(read("PathDatiGen") + read("Anno") + u'/' + read("DBNortav")));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    PreparaApplicazione(app);
    const QString mode = app.arguments().value(1);
    bool messaged = false;
    SetMessageSink([&](TMsgKind, const QString& text) {
        messaged = true;
        if (mode != u"prepare") // the first run's messages are expected
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    // Runs once the event loop has delivered the main window's first show, i.e. after the start-up.
    QTimer::singleShot(0, &app, [&] {
        Guard([&] {
            if (mode == u"prepare")
                PrintTablePath();
            else if (mode == u"memory")
                PageToEnd();
        });
        QApplication::quit();
    });
    const int result = RunProgram([] { return std::make_unique<TProgram>(); });
    if (mode == u"memory")
        std::printf("VmHWM %lld\n", PeakResidentKiB());
    if (result != 0)
        return result;
    return messaged && mode != u"prepare" ? 2 : 0;
}
