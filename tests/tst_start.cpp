// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// How the game starts: what its command line asks, what a school set for every pupil of a computer, what the
// real program answers on its streams and with its exit status; and the kiosk a computer lab locks it in,
// which only the teacher's key chord ends.
#include "app/GameWindow.h"
#include "app/StartOptions.h"
#include "support/Desktop.h"
#include "support/Hand.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

Q_DECLARE_METATYPE(StartRequest::Action)
Q_DECLARE_METATYPE(DisplayMode)

namespace {

using Action = StartRequest::Action;

// A mode asked for, or -1 for none.
constexpr int kNone = -1;

// Runs the built program and waits for it to end.
struct Run {
    int status;
    QString out;
    QString err;
};
Run runProgram(const QStringList& arguments) {
    QProcess program;
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/" TROPILKA_PROGRAM_FROM_TESTS),
                  arguments);
    if (!program.waitForFinished(30000))
        return {-1, {}, program.program() + QStringLiteral(": ") + program.errorString()};
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

std::unique_ptr<GameWindow> kiosk() {
    auto window = std::make_unique<GameWindow>(DisplayMode::Kiosk);
    window->present();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the kiosk was never exposed");
    return window;
}

} // namespace

class StartingTheGame : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The computer's settings, in a folder of the test's own.
        QVERIFY(settingsFolder_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, settingsFolder_.path());
    }

    void cleanup() { clearSetting(); }

    // -- The command line

    void theCommandLineChoosesWhatToDo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("saying");
        const auto row = [](const char* name, const char* arguments, Action action, int mode,
                            const char* saying) {
            QTest::newRow(name) << QStringLiteral("tropilka %1")
                                       .arg(QLatin1StringView(arguments))
                                       .split(u' ', Qt::SkipEmptyParts)
                                << action << mode << QString::fromUtf8(saying);
        };
        row("nothing", "", Action::Play, kNone, "");
        row("full screen", "--fullscreen", Action::Play, int(DisplayMode::FullScreen), "");
        row("Qt's own options pass", "-platform offscreen -reverse --kiosk", Action::Play,
            int(DisplayMode::Kiosk), "");
        row("help", "-h", Action::PrintHelp, kNone, "Ctrl+Alt+Shift+Q");
        row("version", "--version", Action::PrintVersion, kNone, "tropilka " TROPILKA_VERSION "\n");
        row("unknown option", "--fulscreen", Action::Refuse, kNone, "«--fulscreen»");
        row("argument", "kiosk", Action::Refuse, kNone, "«kiosk»");
        row("two modes", "--kiosk --window", Action::Refuse, kNone, "--window, --fullscreen или --kiosk");
        row("Qt's option without its value", "-platform", Action::Refuse, kNone, "platform");
    }

    void theCommandLineChoosesWhatToDo() {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(int, mode);
        QFETCH(QString, saying);
        const StartRequest request = parseCommandLine(arguments);
        QCOMPARE(request.action, action);
        QCOMPARE(request.mode ? int(*request.mode) : kNone, mode);
        QVERIFY2(request.text.contains(saying), qPrintable(request.text));
    }

    // The real program: help and version on standard output with status 0, a refusal on standard error with
    // status 2, all before it needs a display.
    void theProgramAnswersOnItsStreams() {
        const Run help = runProgram({QStringLiteral("--help")});
        QVERIFY2(help.status == 0, qPrintable(help.err));
        QVERIFY2(help.out.contains(QStringLiteral("--fullscreen")) &&
                     help.out.contains(QStringLiteral("--kiosk")),
                 qPrintable(help.out + help.err));
        const Run version = runProgram({QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out.trimmed(), QStringLiteral("tropilka " TROPILKA_VERSION));
        const Run refused = runProgram({QStringLiteral("--fulscreen")});
        QCOMPARE(refused.status, kUsageStatus);
        QVERIFY2(refused.err.contains(QStringLiteral("--fulscreen")), qPrintable(refused.err));
        QVERIFY(refused.out.isEmpty());
    }

    // -- The computer's own setting

    // Written as an administrator writes it; nothing set is the usual case and says nothing.
    void theComputersSettingChoosesTheMode_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<bool>("complains");
        QTest::newRow("nothing set") << QString() << QString() << DisplayMode::Window << false;
        QTest::newRow("kiosk") << "mode"
                               << "kiosk" << DisplayMode::Kiosk << false;
        QTest::newRow("full screen") << "mode"
                                     << "fullscreen" << DisplayMode::FullScreen << false;
        QTest::newRow("capitals and blanks") << "mode"
                                             << " Kiosk " << DisplayMode::Kiosk << false;
        QTest::newRow("empty") << "mode"
                               << "" << DisplayMode::Window << false;
        QTest::newRow("wrong word") << "mode"
                                    << "kiosque" << DisplayMode::Window << true;
        QTest::newRow("no mode") << "modus"
                                 << "kiosk" << DisplayMode::Window << true;
    }

    void theComputersSettingChoosesTheMode() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(DisplayMode, mode);
        QFETCH(bool, complains);
        if (!key.isEmpty()) {
            QSettings settings(QSettings::NativeFormat, QSettings::SystemScope, settingsName(),
                               settingsName());
            settings.setValue(key, value);
        }
        const SystemSetting setting = readSystemSetting();
        QCOMPARE(setting.mode, mode);
        QVERIFY2(setting.problem.isEmpty() != complains, qPrintable(setting.problem));
    }

#ifndef Q_OS_WIN
    // A settings file that cannot be read, or is not a settings file at all: the window, and a word why.
    void aBrokenSettingsFileMeansTheWindow_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("unreadable") << QByteArray();
        QTest::newRow("malformed") << QByteArray("[General\nmode=kiosk\n\xff\xfe=\n");
    }

    void aBrokenSettingsFileMeansTheWindow() {
        QFETCH(QByteArray, content);
        QVERIFY(QDir().mkpath(settingsFile()));
        if (!content.isEmpty()) {
            QVERIFY(QDir().rmdir(settingsFile()));
            QFile file(settingsFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const SystemSetting setting = readSystemSetting();
        QCOMPARE(setting.mode, DisplayMode::Window);
        QVERIFY(setting.problem.contains(settingsFile()));
    }
#endif

    // -- The kiosk

    // Neither the window system's close (the title bar, Alt+F4, the taskbar) nor minimizing takes the pupil
    // out, and there is no exit label, at idle or after a round.
    void aKioskKeepsThePupilIn() {
        auto window = kiosk();
        Pupil pupil(*window);
        QVERIFY(window->isFullScreen());
        QVERIFY(!window->exitLabel().isVisible());
        QVERIFY(!QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            window->windowHandle()));
        QVERIFY(window->isVisible());
        QVERIFY(pupil.reachStage(2));
        pupil.moveTo(kAlwaysBlue);
        QVERIFY(!window->round().isActive());
        QVERIFY(window->helpLabel().isVisible());
        QVERIFY(!window->exitLabel().isVisible());
        window->showMinimized();
        QTRY_VERIFY(window->isFullScreen() && !window->isMinimized());
    }

    // The links are shown, but neither a click nor a tap opens anything.
    void aKiosksLinksOpenNothing() {
        DesktopStandIn desktop;
        auto window = kiosk();
        Pupil pupil(*window);
        Hand hand(*window);
        pupil.openHelp();
        for (const HelpLink& link : helpLinks(*window)) {
            QVERIFY(link.label->isShown());
            pupil.click(link.label->bounds().center());
            hand.tap(link.label->bounds().center());
            QVERIFY(!link.label->hasClickAction());
        }
        QVERIFY(desktop.opened.isEmpty());
    }

    // The teacher's chord ends the kiosk with status 0, even over the win message.
    void theTeachersChordEndsTheKiosk() {
        auto window = kiosk();
        Pupil pupil(*window);
        QVERIFY(pupil.jumpToStage(maze::kLastStage));
        window->setMessagePresenter({});
        QTimer::singleShot(0, window.get(), [&] {
            QTimer::singleShot(0, window.get(), [&] {
                QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
                    QGuiApplication::focusWindow(), QEvent::KeyPress, Qt::Key_Q,
                    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
            });
            pupil.moveTo(targetCentre(maze::kLastStage));
        });
        QTimer::singleShot(5000, window.get(), [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!window->isVisible());
    }

private:
    QString settingsFile() const {
        return settingsFolder_.filePath(settingsName() + QStringLiteral("/") + settingsName() +
                                        QStringLiteral(".conf"));
    }
    void clearSetting() {
        QSettings(QSettings::NativeFormat, QSettings::SystemScope, settingsName(), settingsName()).clear();
#ifndef Q_OS_WIN
        QDir().rmdir(settingsFile());
        QFile::remove(settingsFile());
#endif
    }

    QTemporaryDir settingsFolder_;
};

QTEST_MAIN(StartingTheGame)
#include "tst_start.moc"
