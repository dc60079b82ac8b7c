// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// Whole-process footprint of the game against a bare Qt window of the same size, on a real X server: time
// from process start to the first frame on screen, peak resident memory, CPU time while idle, and CPU time
// per real pointer move (XTest, through xdotool) during a round. Runs alternate between the two programs;
// the report gives medians. Run through bench/footprint.sh, which provides the X server.
#include "maze/Maze.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Where the client areas lie on the screen: with no window manager, at its top-left on X11; Windows (Wine)
// centres them.
QPoint origin;
// A point that both windows paint blue.
constexpr QPoint kProbe(10, 300);
// Where the round's first circle shows: still red after the moves means nothing changed the round.
constexpr QPoint kFirstCircle(300, 212);
// The start label, and a stretch of the first segment away from its circle.
constexpr QPoint kStart(385, 216);
constexpr int kPathLeft = 314, kPathRight = 370, kPathTop = 208, kPathBottom = 224;

struct Run {
    double startMs = 0;
    double peakKiB = 0;
    double idleCpuMs = 0;
    double cpuPerMoveUs = 0;
};

QRgb pixelAt(QPoint p) {
    p += origin;
    return QGuiApplication::primaryScreen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage().pixel(0, 0) |
           0xFF000000u;
}

// CPU time of every thread of the process, in nanoseconds.
qint64 cpuNs(qint64 pid) {
    qint64 total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toLongLong();
    }
    return total;
}

double peakResidentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble();
    return 0;
}

void xdotool(const QStringList& args) {
    QProcess::execute(QStringLiteral("xdotool"), args);
}

// A zig-zag over the path that never leaves it, one pixel at a time, with a pause so moves are not merged.
QStringList pathMoves(int count) {
    QStringList args;
    int x = kPathLeft, y = kPathTop, dx = 1;
    for (int i = 0; i < count; ++i) {
        args << QStringLiteral("mousemove") << QString::number(origin.x() + x)
             << QString::number(origin.y() + y) << QStringLiteral("sleep") << QStringLiteral("0.001");
        x += dx;
        if (x > kPathRight || x < kPathLeft) {
            dx = -dx;
            x += 2 * dx;
            y = y >= kPathBottom ? kPathTop : y + 2;
        }
    }
    return args;
}

// Polls with short pauses, so the watching takes little of the two cores from the program watched.
bool waitFor(const auto& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::usleep(250);
    }
    return true;
}

// Starts the program and waits for its first frame; the time it took, in milliseconds.
double startUp(QProcess& process, const QString& program) {
    xdotool({QStringLiteral("mousemove"), QStringLiteral("640"), QStringLiteral("630")});
    if (!waitFor([] { return pixelAt(kProbe) != maze::kFieldBlue; }, 5000))
        qFatal("the screen still shows a window");
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    process.start(program, {});
    if (!process.waitForStarted())
        qFatal("cannot start %s", qPrintable(program));
    if (!waitFor([] { return pixelAt(kProbe) == maze::kFieldBlue; }, 20000))
        qFatal("%s never showed its window", qPrintable(program));
    return sinceStart.nsecsElapsed() / 1e6;
}

void stop(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

Run measure(const QString& program, bool isGame, int idleSeconds, int moves) {
    Run run;
    QProcess process;
    run.startMs = startUp(process, program);
    const qint64 pid = process.processId();

    // Idle: the window shown, nothing happening.
    QThread::msleep(500);
    const qint64 idleBefore = cpuNs(pid);
    QThread::sleep(idleSeconds);
    run.idleCpuMs = (cpuNs(pid) - idleBefore) / 1e6;

    // A round, and real pointer moves inside its path.
    const QPoint start = origin + kStart;
    xdotool({QStringLiteral("mousemove"), QString::number(start.x()), QString::number(start.y()),
             QStringLiteral("click"), QStringLiteral("1")});
    QThread::msleep(300);
    if (isGame && pixelAt(kFirstCircle) != maze::kTargetRed)
        qFatal("the round did not start");
    const QStringList path = pathMoves(moves);
    xdotool(path.mid(0, 5));
    QThread::msleep(300);
    const qint64 movesBefore = cpuNs(pid);
    xdotool(path);
    QThread::msleep(300);
    run.cpuPerMoveUs = (cpuNs(pid) - movesBefore) / 1e3 / moves;
    if (isGame && pixelAt(kFirstCircle) != maze::kTargetRed)
        qFatal("the moves changed the round");

    run.peakKiB = peakResidentKiB(pid);
    stop(process);
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Footprint of the game against a bare Qt window"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("game"), QStringLiteral("the game's executable"));
    parser.addPositionalArgument(QStringLiteral("bare"), QStringLiteral("the bare window's executable"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("runs of each program"),
                                        QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption startsOption(QStringLiteral("starts"),
                                          QStringLiteral("further start-ups of each program, timed alone"),
                                          QStringLiteral("n"), QStringLiteral("15"));
    const QCommandLineOption idleOption(QStringLiteral("idle"), QStringLiteral("seconds of idling measured"),
                                        QStringLiteral("s"), QStringLiteral("10"));
    const QCommandLineOption movesOption(QStringLiteral("moves"), QStringLiteral("pointer moves measured"),
                                         QStringLiteral("n"), QStringLiteral("2000"));
    const QCommandLineOption originOption(QStringLiteral("origin"),
                                          QStringLiteral("where the client areas lie on the screen"),
                                          QStringLiteral("x,y"), QStringLiteral("0,0"));
    parser.addOptions({runsOption, startsOption, idleOption, movesOption, originOption});
    parser.process(app);
    const QStringList programs = parser.positionalArguments();
    if (programs.size() != 2)
        parser.showHelp(2);
    const int runs = parser.value(runsOption).toInt();
    const int idle = parser.value(idleOption).toInt();
    const int moves = parser.value(movesOption).toInt();
    const int starts = parser.value(startsOption).toInt();
    const QStringList originXY = parser.value(originOption).split(QLatin1Char(','));
    origin = QPoint(originXY.value(0).toInt(), originXY.value(1).toInt());

    std::vector<Run> game, bare, gameStarts, bareStarts;
    for (int i = 0; i < runs; ++i) {
        // Alternate which goes first, so neither always meets a warmer or colder machine.
        for (int k = 0; k < 2; ++k) {
            const bool isGame = (i + k) % 2 == 0;
            const Run run = measure(programs[isGame ? 0 : 1], isGame, idle, moves);
            (isGame ? game : bare).push_back(run);
            std::printf(
                "run %d %-5s start %7.1f ms  peak RSS %8.0f KiB  idle CPU %6.2f ms  CPU/move %6.2f us\n",
                i + 1, isGame ? "game" : "bare", run.startMs, run.peakKiB, run.idleCpuMs, run.cpuPerMoveUs);
            std::fflush(stdout);
        }
    }

    // Start-up varies most from run to run: more samples of it alone.
    for (int i = 0; i < starts; ++i) {
        for (int k = 0; k < 2; ++k) {
            const bool isGame = (i + k) % 2 == 0;
            QProcess process;
            Run run;
            run.startMs = startUp(process, programs[isGame ? 0 : 1]);
            stop(process);
            (isGame ? gameStarts : bareStarts).push_back(run);
        }
    }
    std::printf("start-ups alone: %d of each\n", starts);

    using Field = double Run::*;
    const auto med = [](const std::vector<Run>& runs, Field field) {
        std::vector<double> values;
        for (const Run& r : runs)
            values.push_back(r.*field);
        return median(values);
    };
    struct Target {
        const char* name;
        Field field;
        const char* unit;
        double ratio;
        double slack;
    };
    const Target targets[] = {
        {"start to first frame", &Run::startMs, "ms", 1.5, 0},
        {"peak resident memory", &Run::peakKiB, "KiB", 1.25, 0},
        {"CPU while idle", &Run::idleCpuMs, "ms", 1.0, 1.0},
        {"CPU per pointer move", &Run::cpuPerMoveUs, "us", 1.2, 0},
    };
    std::printf("\nmedians of %d runs each (idle %d s, %d moves; start-up over %d starts each)\n", runs, idle,
                moves, runs + starts);
    bool allMet = true;
    for (const Target& t : targets) {
        // Start-up from every start of the program, the other figures from the full runs.
        std::vector<Run> g1 = game, b1 = bare;
        if (t.field == &Run::startMs) {
            g1.insert(g1.end(), gameStarts.begin(), gameStarts.end());
            b1.insert(b1.end(), bareStarts.begin(), bareStarts.end());
        }
        // --runs 0 times start-ups alone.
        if (g1.empty() || b1.empty()) {
            std::printf("%-22s not measured\n", t.name);
            continue;
        }
        const double g = med(g1, t.field), b = med(b1, t.field);
        const double limit = b * t.ratio + t.slack;
        const bool met = g <= limit;
        allMet = allMet && met;
        std::printf("%-22s game %9.2f %-3s  bare %9.2f %-3s  ratio %5.2f  limit %9.2f  %s\n", t.name, g,
                    t.unit, b, t.unit, b > 0 ? g / b : 0.0, limit, met ? "met" : "MISSED");
    }
    return allMet ? 0 : 1;
}
