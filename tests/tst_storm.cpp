// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// An event storm: a seeded, reproducible mix of hundreds of thousands of pointer moves and clicks, in and
// far outside the window, with a walker among them that follows the path, so that every stage and the
// win are reached many times. After every single event the window must be in a state the game allows.
#include "app/Form1.h"
#include "maze/MazeLayout.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <array>
#include <memory>
#include <random>

namespace {

constexpr int kEvents = 200'000;
constexpr std::uint32_t kSeed = 20261207;

// Stands in for the desktop's browser and mail program.
class UrlSink final : public QObject {
    Q_OBJECT

public:
    int opened = 0;

public slots:
    void open(const QUrl&) { ++opened; }
};

struct Tally {
    std::array<long, maze::kStageCount> stageReached{};
    long wins = 0;
    long losses = 0;
    long panelOpened = 0;
    long exits = 0;
    long events = 0;
};

} // namespace

class EventStorm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void theGameStaysInAnAllowedStateThroughAStorm();

private:
    void openWindow();
    // The whole state table of the game.
    bool stateIsAllowed(QString* why) const;
    // Runs one event and checks the state after it.
    template <class Action> void send(const char* what, Action action);

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
    QPoint anywhereInside() {
        return QPoint(uniform(0, Form1::kClientSize.width() - 1),
                      uniform(0, Form1::kClientSize.height() - 1));
    }

    void chaosEvent();
    void walkerEvent();
    // Through the exit label or the window's close button; then the next pupil starts the program again.
    void endTheProgram(bool byExitLabel);

    std::mt19937 random_{kSeed};
    std::unique_ptr<Form1> form_;
    std::unique_ptr<Pupil> pupil_;
    UrlSink urls_;
    Tally tally_;
    QString failure_;
    // Routes inside the path, one per stage, recorded from a pupil who found them by looking.
    std::array<QList<QPoint>, maze::kStageCount> routes_;
    bool walking_ = false;
    int walkerStep_ = 0;
    int walkerStage_ = 0;
    bool everStarted_ = false;
    bool wasActive_ = false;
    int lastStage_ = 0;
};

void EventStorm::initTestCase() {
    // The headless platform cannot raise tooltip windows and says so for every tooltip.
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.startsWith(QStringLiteral("This plugin does not support")))
                previous(type, context, message);
        });
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &urls_, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &urls_, "open");

    Form1 scout;
    scout.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scout));
    Pupil pupil(scout);
    pupil.startRound();
    for (int stage = 0; stage <= maze::kLastStage; ++stage) {
        const qsizetype before = pupil.trail().size();
        pupil.walkToCurrentCircle();
        routes_[std::size_t(stage)] = pupil.trail().mid(before);
        QVERIFY(!routes_[std::size_t(stage)].isEmpty());
    }
    QCOMPARE(pupil.messages().size(), 1);
}

void EventStorm::cleanupTestCase() {
    pupil_.reset();
    form_.reset();
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void EventStorm::openWindow() {
    pupil_.reset();
    form_ = std::make_unique<Form1>();
    form_->show();
    form_->Form_Load();
    if (!QTest::qWaitForWindowExposed(form_.get()))
        failure_ = QStringLiteral("the window was never exposed");
    pupil_ = std::make_unique<Pupil>(*form_);
    everStarted_ = false;
    wasActive_ = false;
    lastStage_ = 0;
    walking_ = false;
}

bool EventStorm::stateIsAllowed(QString* why) const {
    const Form1& f = *form_;
    const auto fail = [why](const QString& text) {
        *why = text;
        return false;
    };
    const int stage = f.round().currentStage();
    if (stage < 0 || stage > maze::kLastStage)
        return fail(QStringLiteral("stage %1").arg(stage));
    if (!f.round().isActive()) {
        if (stage != 0)
            return fail(QStringLiteral("idle at stage %1").arg(stage));
        for (int i = 0; i < maze::kStageCount; ++i)
            if (f.line1(i).isVisible() || f.shape1(i).isVisible())
                return fail(QStringLiteral("maze element %1 shown at idle").arg(i));
        const QString caption = everStarted_ ? QStringLiteral("Старт игры") : QStringLiteral("  Старт игры");
        if (f.label1().caption() != caption || !f.label1().isEnabled() || f.label1().fontPointSize() != 18 ||
            f.label1().backColour() != forms::rgb(255, 192, 255))
            return fail(QStringLiteral("start label at idle: ") + f.label1().caption());
        if (!f.label2().isVisible() || !f.label5().isVisible())
            return fail(QStringLiteral("menu hidden at idle"));
        return true;
    }
    for (int i = 0; i < maze::kStageCount; ++i) {
        if (f.line1(i).isVisible() != (i <= stage))
            return fail(QStringLiteral("segment %1 at stage %2").arg(i).arg(stage));
        if (f.shape1(i).isVisible() != (i == stage))
            return fail(QStringLiteral("circle %1 at stage %2").arg(i).arg(stage));
    }
    if (f.label1().caption() != QStringLiteral("Иди к красному кружку, не выходя на синее поле") ||
        f.label1().isEnabled() || f.label1().fontPointSize() != 10 ||
        f.label1().backColour() != maze::kPathYellow)
        return fail(QStringLiteral("start label in a round"));
    if (f.label2().isVisible() || f.label5().isVisible())
        return fail(QStringLiteral("menu shown in a round"));
    return true;
}

template <class Action> void EventStorm::send(const char* what, Action action) {
    const qsizetype messagesBefore = pupil_->messages().size();
    action();
    ++tally_.events;
    const bool active = form_->round().isActive();
    const int stage = form_->round().currentStage();
    const qsizetype newMessages = pupil_->messages().size() - messagesBefore;
    if (active)
        everStarted_ = true;
    if (active && (!wasActive_ || stage != lastStage_))
        ++tally_.stageReached[std::size_t(stage)];
    if (newMessages > 0) {
        // The congratulation, accepted at once; nothing else may show a message here.
        if (newMessages != 1 || !pupil_->messages().last().startsWith(QStringLiteral("Молодец")) ||
            !wasActive_ || lastStage_ != maze::kLastStage)
            failure_ = QStringLiteral("unexpected message after %1").arg(QLatin1StringView(what));
        ++tally_.wins;
    } else if (wasActive_ && !active) {
        ++tally_.losses;
    }
    wasActive_ = active;
    lastStage_ = stage;
    QString why;
    if (failure_.isEmpty() && !stateIsAllowed(&why))
        failure_ =
            QStringLiteral("after event %1 (%2): %3").arg(tally_.events).arg(QLatin1StringView(what), why);
}

void EventStorm::chaosEvent() {
    const help::HelpPanel& panel = form_->helpPanel();
    const int kind = uniform(0, 99);
    if (kind < 40) {
        const QPoint p = anywhereInside();
        send("move", [&] { pupil_->moveTo(p, chance(0.1) ? Qt::LeftButton : Qt::NoButton); });
    } else if (kind < 50) {
        // Qt reports moves far outside while a button is held and the pointer has left the window.
        static const std::array<qreal, 9> far{-1e9, -70000, -1, -0.25, 648, 536, 70000, 1e12, qQNaN()};
        const QPointF p(far[std::size_t(uniform(0, 8))],
                        chance(0.5) ? far[std::size_t(uniform(0, 8))] : uniform(0, 535));
        send("far move", [&] { pupil_->moveTo(chance(0.5) ? p : p.transposed(), Qt::LeftButton); });
    } else if (kind < 62) {
        // Somewhere near the path, where the game has most to decide.
        const maze::SegmentSpec& s = maze::kSegments[std::size_t(uniform(0, maze::kLastStage))];
        const QPoint p(uniform(std::min(s.x1, s.x2) - s.width, std::max(s.x1, s.x2) + s.width),
                       uniform(std::min(s.y1, s.y2) - s.width, std::max(s.y1, s.y2) + s.width));
        send("move near the path", [&] { pupil_->moveTo(p); });
    } else if (kind < 82) {
        QList<QPoint> targets{form_->label1().bounds().center(), QPoint(517, 200),
                              form_->label5().bounds().center(), anywhereInside()};
        if (panel.isBuilt()) {
            targets << panel.command1().bounds().center() << panel.label6().bounds().center()
                    << panel.label7().bounds().center() << panel.label19().bounds().center()
                    << panel.picture1(0).bounds().center() << panel.picture1(1).bounds().center()
                    << panel.label3().bounds().center() << panel.label4().bounds().center()
                    << panel.label8().bounds().center() << panel.label9().bounds().center();
        }
        const QPoint p = targets[uniform(0, int(targets.size()) - 1)];
        const bool panelWasOpen = panel.isOpen();
        send("click", [&] { pupil_->click(p); });
        if (!panelWasOpen && panel.isOpen())
            ++tally_.panelOpened;
    } else if (kind < 90) {
        const QPoint p = anywhereInside();
        const bool press = chance(0.5);
        send(press ? "press" : "release", [&] {
            QMouseEvent event(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, QPointF(p),
                              form_->mapToGlobal(QPointF(p)), Qt::LeftButton,
                              press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &event);
        });
    } else if (kind < 95) {
        const QPoint p = anywhereInside();
        send("tooltip", [&] {
            QHelpEvent help(QEvent::ToolTip, p, form_->mapToGlobal(p));
            QApplication::sendEvent(form_.get(), &help);
        });
    } else if (chance(0.01)) {
        endTheProgram(form_->label2().isVisible() && chance(0.5));
    } else {
        send("help", [&] { pupil_->click(form_->label5().bounds().center()); });
    }
}

void EventStorm::walkerEvent() {
    const help::HelpPanel& panel = form_->helpPanel();
    if (!form_->round().isActive()) {
        if (panel.isOpen()) {
            send("close help", [&] { pupil_->click(panel.command1().bounds().center()); });
        } else {
            send("start", [&] { pupil_->startRound(); });
            walkerStage_ = 0;
            walkerStep_ = 0;
        }
        return;
    }
    const int stage = form_->round().currentStage();
    if (stage != walkerStage_) {
        walkerStage_ = stage;
        walkerStep_ = 0;
    }
    const QList<QPoint>& route = routes_[std::size_t(stage)];
    const QPoint p = route[std::min(walkerStep_++, int(route.size()) - 1)];
    send("walk", [&] { pupil_->moveTo(p); });
}

void EventStorm::endTheProgram(bool byExitLabel) {
    QTimer::singleShot(0, form_.get(), [this, byExitLabel] {
        if (byExitLabel)
            pupil_->click(form_->label2().bounds().center());
        else
            form_->close();
    });
    QTimer::singleShot(5000, form_.get(), [] { QCoreApplication::exit(99); });
    const int status = QApplication::exec();
    ++tally_.events;
    if (status != 0 || form_->isVisible())
        failure_ = QStringLiteral("the program ended with status %1").arg(status);
    ++tally_.exits;
    openWindow();
}

void EventStorm::theGameStaysInAnAllowedStateThroughAStorm() {
    openWindow();
    bool startedInRound = false;
    while (tally_.events < kEvents && failure_.isEmpty()) {
        if (walking_) {
            const bool wasActive = form_->round().isActive();
            if (chance(1.0 / 2000))
                chaosEvent();
            else
                walkerEvent();
            if (wasActive && !form_->round().isActive())
                walking_ = false;
            startedInRound = startedInRound || form_->round().isActive();
        } else {
            chaosEvent();
            walking_ = chance(1.0 / 300);
        }
        if (tally_.events % 1000 == 0)
            QApplication::processEvents(); // paint now and then, as the screen would
    }
    QVERIFY2(failure_.isEmpty(), qPrintable(failure_));

    QString stages;
    for (int i = 0; i < maze::kStageCount; ++i)
        stages += QStringLiteral(" %1:%2").arg(i).arg(tally_.stageReached[std::size_t(i)]);
    qInfo("%ld events, seed %u; stages reached%s; %ld wins, %ld losses, help opened %ld times, %d links "
          "opened, %ld exits",
          tally_.events, kSeed, qPrintable(stages), tally_.wins, tally_.losses, tally_.panelOpened,
          urls_.opened, tally_.exits);
    QVERIFY(startedInRound);
    for (int i = 0; i < maze::kStageCount; ++i)
        QVERIFY2(tally_.stageReached[std::size_t(i)] >= 10, qPrintable(QStringLiteral("stage %1").arg(i)));
    QVERIFY(tally_.wins >= 10);
    QVERIFY(tally_.losses >= 10);
    QVERIFY(tally_.panelOpened > 0 && urls_.opened > 0 && tally_.exits > 0);
}

QTEST_MAIN(EventStorm)
#include "tst_storm.moc"
