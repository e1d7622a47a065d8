// The baseline process: a bare Qt program that shows one empty window and quits.
//   bench_bare [memory]   with "memory", prints its peak resident memory (VmHWM, KiB)

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(750, 665);
    window.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    const int result = QApplication::exec();
    if (app.arguments().value(1) == u"memory") {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                std::printf("VmHWM %s\n", line.mid(6).trimmed().split(' ').value(0).constData());
    }
    return result;
}
