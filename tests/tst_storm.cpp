// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// An event storm: a seeded, reproducible mix of hundreds of thousands of pointer moves and clicks, in and
// far outside the window, with a walker among them that follows the path, so that every stage and the
// win are reached many times. After every single event the window must be in a state the game allows.
#include "app/GameWindow.h"
#include "maze/Maze.h"
#include "support/Desktop.h"
#include "support/ExpectedTexts.h"
#include "support/GameState.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <random>

namespace {

constexpr int kEvents = 200'000;
constexpr std::uint32_t kSeed = 20261207;

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
    // What differs from the state the game's table allows, or nothing.
    QString stateProblems() const;
    // Runs one event and checks the state after it.
    template <class Action> void send(const char* what, Action action);

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
    QPoint anywhereInside() {
        return QPoint(uniform(0, GameWindow::kClientSize.width() - 1),
                      uniform(0, GameWindow::kClientSize.height() - 1));
    }

    void chaosEvent();
    void walkerEvent();
    // Through the exit label or the window's close button; then the next pupil starts the program again.
    void endTheProgram(bool byExitLabel);

    std::mt19937 random_{kSeed};
    std::unique_ptr<GameWindow> window_;
    std::unique_ptr<Pupil> pupil_;
    std::optional<DesktopStandIn> desktop_;
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
    desktop_.emplace();

    auto&& [scout, pupil] = Game();
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
    window_.reset();
    desktop_.reset();
}

void EventStorm::openWindow() {
    pupil_.reset();
    window_ = shownWindow();
    pupil_ = std::make_unique<Pupil>(*window_);
    everStarted_ = false;
    wasActive_ = false;
    lastStage_ = 0;
    walking_ = false;
}

QString EventStorm::stateProblems() const {
    const int stage = window_->round().stage();
    if (stage < 0 || stage > maze::kLastStage)
        return QStringLiteral("stage %1").arg(stage);
    return window_->round().isActive() ? roundProblems(*window_, stage)
                                       : idleProblems(*window_, !everStarted_);
}

template <class Action> void EventStorm::send(const char* what, Action action) {
    const qsizetype messagesBefore = pupil_->messages().size();
    action();
    ++tally_.events;
    const bool active = window_->round().isActive();
    const int stage = window_->round().stage();
    const qsizetype newMessages = pupil_->messages().size() - messagesBefore;
    if (active)
        everStarted_ = true;
    if (active && (!wasActive_ || stage != lastStage_))
        ++tally_.stageReached[std::size_t(stage)];
    if (newMessages > 0) {
        // The congratulation, accepted at once; nothing else may show a message here.
        if (newMessages != 1 || pupil_->messages().last() != expected::winMessage() || !wasActive_ ||
            lastStage_ != maze::kLastStage)
            failure_ = QStringLiteral("unexpected message after %1").arg(QLatin1StringView(what));
        ++tally_.wins;
    } else if (wasActive_ && !active) {
        ++tally_.losses;
    }
    wasActive_ = active;
    lastStage_ = stage;
    if (failure_.isEmpty()) {
        const QString problems = stateProblems();
        if (!problems.isEmpty())
            failure_ = QStringLiteral("after event %1 (%2): %3")
                           .arg(tally_.events)
                           .arg(QLatin1StringView(what), problems);
    }
    if (!window_->isVisible()) {
        // A click landed on the exit label: the next pupil starts the program again.
        ++tally_.exits;
        openWindow();
    }
}

void EventStorm::chaosEvent() {
    const help::HelpPanel& panel = window_->helpPanel();
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
        const maze::Segment& s = maze::kSegments[std::size_t(uniform(0, maze::kLastStage))];
        const QPoint p(uniform(std::min(s.x1, s.x2) - s.width, std::max(s.x1, s.x2) + s.width),
                       uniform(std::min(s.y1, s.y2) - s.width, std::max(s.y1, s.y2) + s.width));
        send("move near the path", [&] { pupil_->moveTo(p); });
    } else if (kind < 82) {
        QList<QPoint> targets{window_->startLabel().bounds().center(), kStartBesideHelp,
                              window_->helpLabel().bounds().center(), anywhereInside()};
        if (panel.isBuilt()) {
            for (const scene::Element* e : std::initializer_list<const scene::Element*>{
                     &panel.closeButton(), &panel.artistMailLink(), &panel.authorSiteLink(),
                     &panel.authorMailLink(), &panel.authorPortrait(), &panel.designerPicture(),
                     &panel.purposeText(), &panel.thanksText(), &panel.feedbackText(),
                     &panel.otherProgramsText()})
                targets << e->bounds().center();
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
                              window_->mapToGlobal(QPointF(p)), Qt::LeftButton,
                              press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(window_.get(), &event);
        });
    } else if (kind < 95) {
        const QPoint p = anywhereInside();
        send("tooltip", [&] {
            QHelpEvent help(QEvent::ToolTip, p, window_->mapToGlobal(p));
            QApplication::sendEvent(window_.get(), &help);
        });
    } else if (chance(0.01)) {
        endTheProgram(window_->exitLabel().isVisible() && chance(0.5));
    } else {
        send("help", [&] { pupil_->openHelp(); });
    }
}

void EventStorm::walkerEvent() {
    const help::HelpPanel& panel = window_->helpPanel();
    if (!window_->round().isActive()) {
        if (panel.isOpen()) {
            send("close help", [&] { pupil_->closeHelp(); });
        } else {
            send("start", [&] { pupil_->startRound(); });
            walkerStage_ = 0;
            walkerStep_ = 0;
        }
        return;
    }
    const int stage = window_->round().stage();
    if (stage != walkerStage_) {
        walkerStage_ = stage;
        walkerStep_ = 0;
    }
    const QList<QPoint>& route = routes_[std::size_t(stage)];
    const QPoint p = route[std::min(walkerStep_++, int(route.size()) - 1)];
    send("walk", [&] { pupil_->moveTo(p); });
}

void EventStorm::endTheProgram(bool byExitLabel) {
    QTimer::singleShot(0, window_.get(), [this, byExitLabel] {
        if (byExitLabel)
            pupil_->click(window_->exitLabel().bounds().center());
        else
            window_->close();
    });
    QTimer::singleShot(5000, window_.get(), [] { QCoreApplication::exit(99); });
    const int status = QApplication::exec();
    ++tally_.events;
    if (status != 0 || window_->isVisible())
        failure_ = QStringLiteral("the program ended with status %1").arg(status);
    ++tally_.exits;
    openWindow();
}

void EventStorm::theGameStaysInAnAllowedStateThroughAStorm() {
    openWindow();
    bool startedInRound = false;
    while (tally_.events < kEvents && failure_.isEmpty()) {
        if (walking_) {
            const bool wasActive = window_->round().isActive();
            if (chance(1.0 / 2000))
                chaosEvent();
            else
                walkerEvent();
            if (wasActive && !window_->round().isActive())
                walking_ = false;
            startedInRound = startedInRound || window_->round().isActive();
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
          int(desktop_->opened.size()), tally_.exits);
    QVERIFY(startedInRound);
    for (int i = 0; i < maze::kStageCount; ++i)
        QVERIFY2(tally_.stageReached[std::size_t(i)] >= 10, qPrintable(QStringLiteral("stage %1").arg(i)));
    QVERIFY(tally_.wins >= 10);
    QVERIFY(tally_.losses >= 10);
    QVERIFY(tally_.panelOpened > 0 && !desktop_->opened.isEmpty() && tally_.exits > 0);
}

QTEST_MAIN(EventStorm)
#include "tst_storm.moc"
