// Whole processes, in one run, on a scratch home folder:
// - Start: the program's entry and start-up sequence of a second run (bench_app start) against a bare Qt
//   program that shows one empty window (bench_bare), both offscreen, each from launch to exit;
// - Memory: peak resident memory of a second run that opens the 100,000-row diary table and pages it to
//   its end (bench_app memory), minus the bare Qt program's.

#include "bench/BenchSupport.h"
#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace
{

constexpr int StartRounds = 15;
constexpr int MemoryRounds = 3;

// Runs a sibling program to its end and returns its output; a failure or a timeout is an error.
QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationDirPath() + u'/' + program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        throw std::runtime_error(QString(program + u' ' + arguments.join(u' ') + u" failed").toStdString());
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The text after `key` on a line of a program's output.
QString Text(const QString& output, const QString& key)
{
    const QRegularExpressionMatch match =
        QRegularExpression(u'^' + key + QStringLiteral(" (.+)$"), QRegularExpression::MultilineOption)
            .match(output);
    if (!match.hasMatch())
        throw std::runtime_error(QString(u"no " + key + u" in: " + output).toStdString());
    return match.captured(1);
}

qint64 Reading(const QString& output, const QString& key)
{
    return Text(output, key).toLongLong();
}

void BenchStart()
{
    std::vector<double> app;
    std::vector<double> bare;
    Run(QStringLiteral("bench_app"), {QStringLiteral("start")}); // warm-up: file cache, fonts
    Run(QStringLiteral("bench_bare"), {});
    for (int round = 0; round < StartRounds; ++round) {
        app.push_back(TimeMs([] { Run(QStringLiteral("bench_app"), {QStringLiteral("start")}); }));
        bare.push_back(TimeMs([] { Run(QStringLiteral("bench_bare"), {}); }));
    }
    std::printf("Start: entry and start-up of a second run against a bare Qt window, whole processes\n");
    PrintStats("program start-up", app, "ms");
    PrintStats("bare Qt window", bare, "ms");
    PrintRatio("Start", app, bare, 1.3);
}

void BenchMemory(const QString& table)
{
    CopyFixture(100000, table);
    std::vector<double> app;
    std::vector<double> bare;
    for (int round = 0; round < MemoryRounds; ++round) {
        const QString output = Run(QStringLiteral("bench_app"), {QStringLiteral("memory")});
        if (Reading(output, QStringLiteral("ROWS")) != 100000)
            throw std::runtime_error("the table was not paged to its end");
        app.push_back(double(Reading(output, QStringLiteral("VmHWM"))) / 1024);
        bare.push_back(double(Reading(Run(QStringLiteral("bench_bare"), {QStringLiteral("memory")}),
                                      QStringLiteral("VmHWM"))) /
                       1024);
    }
    std::printf("Memory: peak resident memory, 100,000-row table opened and paged to its end\n");
    PrintStats("program", app, "MiB");
    PrintStats("bare Qt window", bare, "MiB");
    const TStats a = Stats(app);
    const TStats b = Stats(bare);
    std::printf("  %-28s %.1f MiB  (aim <= 30 MiB)\n", "difference of medians", a.median - b.median);
    std::printf("RESULT Memory %.1f %.1f %.1f 30 MiB\n", a.median - b.median, a.min - b.max, a.max - b.min);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication core(argc, argv);
    TTempHome home;
    try {
        const QString table =
            Text(Run(QStringLiteral("bench_app"), {QStringLiteral("prepare")}), QStringLiteral("TABLE"));
        const QStringList what = core.arguments().mid(1);
        if (what.isEmpty() || what.contains(QStringLiteral("start")))
            BenchStart();
        if (what.isEmpty() || what.contains(QStringLiteral("memory")))
            BenchMemory(table);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_start: %s\n", e.what());
        return 1;
    }
    return 0;
}
