// The built program played on a private desktop, as a child would: what it says and
// when, and how its windows fare under a real window manager.
#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "ProgramRun.h"

namespace {

using namespace std::chrono_literals;
using desktop::Opening;
using desktop::ProgramRun;
using desktop::Window;

const std::string kMainTitle = "Quonk-Tirrel";
const std::string kTutorialTitle = " - Spielerkl";
// Two openings of one file this close together are one playback (a look at the header,
// then the sound).
constexpr double kSamePlaybackMs = 30;
// Keys and clicks made while a recording speaks are handled once it has ended; no
// recording is longer than this.
constexpr auto kSpeechEnds = 8s;
// strace stamps an opening a little before the sound starts; its end is as late.
constexpr double kToleranceMs = 40;

// strace stamps the time of day: a run across midnight starts again from 0.
double Gap(const Opening& earlier, const Opening& later) {
    const double gap = later.ms - earlier.ms;
    return gap < 0 ? gap + 24 * 3600 * 1000.0 : gap;
}

std::string Describe(const std::vector<Opening>& openings) {
    std::ostringstream out;
    for (const Opening& o : openings)
        out << "  " << static_cast<long long>(o.ms) << " " << o.name << (o.synchronous ? " (waits)" : "") << "\n";
    return out.str();
}

// The main window where it is now: it may still move after it first shows (it is centred
// again once its frame is known, later on a slow build), so clicks and pictures go by the
// place of the moment.
Window MainNow(const ProgramRun& run) {
    const auto main = run.WaitForWindow(kMainTitle, 5s, true);
    return main ? *main : Window{};
}

// Starts the program and waits for its main window.
#define START_PROGRAM(run, learnMode, main)                                                         \
    if (!(run).Start(ProgramRun::Settings(learnMode))) {                                            \
        if (!(run).SkipReason().empty()) GTEST_SKIP() << "no private desktop: " << (run).SkipReason(); \
        FAIL() << (run).Failure();                                                                  \
    }                                                                                               \
    const auto main = (run).WaitForWindow(kMainTitle, 20s, true);                                   \
    ASSERT_TRUE(main) << "the main window did not show"

// The recordings the program waits for, from the `from`-th opening on, by token; one
// recording opened twice in a row (a look at its header, then the sound) counts once.
std::vector<std::string> SpokenSince(const std::vector<Opening>& openings, size_t from) {
    std::vector<std::string> spoken;
    for (size_t i = from; i < openings.size(); ++i)
        if (openings[i].synchronous && (spoken.empty() || spoken.back() != openings[i].name.substr(0, 4)))
            spoken.push_back(openings[i].name.substr(0, 4));
    return spoken;
}

// Nothing is opened while a recording the program waits for still speaks: keys and
// clicks made meanwhile are handled after it.
void ExpectEachRecordingEndsBeforeTheNextSound(const std::vector<Opening>& openings) {
    for (size_t i = 0; i + 1 < openings.size(); ++i) {
        const Opening& o = openings[i];
        if (!o.synchronous) continue;
        size_t next = i + 1;
        while (next < openings.size() && openings[next].path == o.path && Gap(o, openings[next]) < kSamePlaybackMs)
            ++next;
        if (next == openings.size()) break;
        const double length = desktop::WavLengthMs(o.path);
        ASSERT_GT(length, 0) << o.path;
        EXPECT_GE(Gap(o, openings[next]), length - kToleranceMs)
            << openings[next].name << " was opened while " << o.name << " still spoke:\n" << Describe(openings);
    }
}

// Outside learn mode the title window says goodbye with the sound a move makes as well,
// and the main window takes the keys.
void WaitForTheTitleToClose(ProgramRun& run, const Window& main) {
    ASSERT_TRUE(run.WaitForOpening("DelBalls", 0, 15s)) << "the title window did not close";
    ASSERT_TRUE(run.WaitUntilActive(main.id, 10s));
}

// Escape ends the tutorial the learn mode opens at start, after the narration it is in.
void EndTutorial(ProgramRun& run) {
    const auto tutorial = run.WaitForWindow(kTutorialTitle, 15s);
    ASSERT_TRUE(tutorial) << "the tutorial did not open in learn mode";
    ASSERT_TRUE(run.WaitUntilActive(tutorial->id, 5s)) << "the tutorial did not become the active window";
    run.Key("Escape");
    ASSERT_TRUE(run.WaitUntilGone(tutorial->id, 15s)) << "Escape did not end the tutorial";
}

TEST(ProgramOnDesktop, SpeechNeverOverlapsAndAMoveMadeDuringACommentWaitsForItsEnd) {
    ProgramRun run;
    START_PROGRAM(run, false, main);
    WaitForTheTitleToClose(run, *main);
    ASSERT_TRUE(run.PlayAMove(MainNow(run))) << Describe(run.Openings());
    // Clicked while the first move's comment speaks: the clicks wait for its end.
    ASSERT_TRUE(run.PlayAMove(MainNow(run))) << "a move made during a comment was lost:\n" << Describe(run.Openings());
    run.End();
    ExpectEachRecordingEndsBeforeTheNextSound(run.Openings());
}

// In learn mode the tutorial opens at start, and a box speaks its comment, then explains
// its buttons and the shut-up button.
TEST(ProgramOnDesktop, InLearnModeTheTutorialEndsOnEscapeAndTheStopQuestionSpeaksInOrder) {
    ProgramRun run;
    START_PROGRAM(run, true, main);
    EndTutorial(run);
    ASSERT_TRUE(run.WaitUntilActive(main->id, 5s));
    ASSERT_TRUE(run.PlayAMove(MainNow(run))) << Describe(run.Openings());

    const size_t beforeQuestion = run.OpeningCount();
    run.Key("F2");
    const auto box = run.WaitForWindow(kMainTitle, 10s);
    ASSERT_TRUE(box) << "F2 after a move did not ask \"Laufendes Spiel abbrechen?\"";
    EXPECT_TRUE(run.WaitUntilActive(box->id, 5s)) << "the box the program showed did not become active";
    const auto tip = run.WaitForOpening("slip", beforeQuestion, 20s);
    ASSERT_TRUE(tip) << "no tip on the shut-up button:\n" << Describe(run.Openings());
    run.End();

    const std::vector<Opening> openings = run.Openings();
    EXPECT_EQ(SpokenSince(openings, beforeQuestion), (std::vector<std::string>{"ssto", "sbut", "slip"}))
        << Describe(openings);
    ExpectEachRecordingEndsBeforeTheNextSound(openings);
}

// A window manager may minimise any window, the program's modal ones included.
TEST(ProgramOnDesktop, MinimisedDialogsComeBackAtOnceAndTakeKeys) {
    ProgramRun run;
    START_PROGRAM(run, false, main);
    WaitForTheTitleToClose(run, *main);

    // Spiel > Einstellungen by keys: the menu opens on its first item, Up wraps to
    // "Beenden", once more is "Einstellungen".
    run.Key("alt+s");
    run.Key("Up");
    run.Key("Up");
    run.Key("Return");
    const auto options = run.WaitForWindow("Einstellungen", 10s);
    ASSERT_TRUE(options) << "Spiel > Einstellungen did not open";
    ASSERT_TRUE(run.WaitUntilActive(options->id, 5s));
    run.Run({"xdotool", "windowminimize", std::to_string(options->id)});
    EXPECT_TRUE(desktop::Desktop::WaitFor([&] { return run.Shown(options->id); }, 1s))
        << "the minimised options dialog did not come back within a second";
    EXPECT_TRUE(run.WaitUntilActive(options->id, 2s)) << "the options dialog came back inactive";
    run.Key("Escape");
    ASSERT_TRUE(run.WaitUntilGone(options->id, 5s)) << "Escape did not reach the restored options dialog";

    // After the menu was opened with the mouse and closed with Escape (the menu bar keeps
    // the focus), the next keys reach the window, and the first Return closes the box
    // Shift+F6 opens.
    ASSERT_TRUE(run.WaitUntilActive(main->id, 5s));
    const size_t shownBefore = run.VisibleWindowCount();
    const Window now = MainNow(run);
    run.Click(now.x + 20, now.y + (now.height - 558) / 2);
    ASSERT_TRUE(desktop::Desktop::WaitFor([&] { return run.VisibleWindowCount() > shownBefore; }, 5s))
        << "a click on \"Spiel\" opened no menu";
    run.Key("Escape");
    ASSERT_TRUE(desktop::Desktop::WaitFor([&] { return run.VisibleWindowCount() == shownBefore; }, 5s))
        << "Escape did not close the menu";
    // F9 says the last comment (the start's) again.
    const size_t mark = run.OpeningCount();
    run.Key("F9");
    EXPECT_TRUE(run.WaitForOpening("sprg", mark, 5s)) << "F9 after the menu was lost:\n" << Describe(run.Openings());
    run.Key("shift+F6");
    auto box = run.WaitForWindow(kMainTitle, 10s);
    ASSERT_TRUE(box) << "Shift+F6 showed no box";
    ASSERT_TRUE(run.WaitUntilActive(box->id, 5s));
    run.Key("Return");
    ASSERT_TRUE(run.WaitUntilGone(box->id, 5s)) << "the first Return did not close the box";
    ASSERT_TRUE(run.WaitUntilActive(main->id, 5s));

    // A message box, minimised, comes back at once and takes Return.
    run.Key("shift+F6");
    box = run.WaitForWindow(kMainTitle, 10s);
    ASSERT_TRUE(box) << "Shift+F6 showed no box";
    ASSERT_TRUE(run.WaitUntilActive(box->id, 5s));
    run.Run({"xdotool", "windowminimize", std::to_string(box->id)});
    EXPECT_TRUE(desktop::Desktop::WaitFor([&] { return run.Shown(box->id); }, 1s))
        << "the minimised message box did not come back within a second";
    EXPECT_TRUE(run.WaitUntilActive(box->id, 2s)) << "the message box came back inactive";
    run.Key("Return");
    EXPECT_TRUE(run.WaitUntilGone(box->id, 5s)) << "Return did not reach the restored message box";
    run.End();
}

// The stop question has no close box, but the window manager may close it all the same:
// that is "Nein", whatever the box was last answered. Keys typed while the question
// speaks are read once it has ended: Escape answers it, and the next key goes to the
// window that has the focus then, the main window. (Outside learn mode: no tutorial, no
// explanations.)
TEST(ProgramOnDesktop, TheStopQuestionClosedByTheWindowManagerKeepsTheGameAndKeysTypedDuringItFollowTheFocus) {
    ProgramRun run;
    START_PROGRAM(run, false, main);
    WaitForTheTitleToClose(run, *main);
    // A box answered with "OK" first.
    run.Key("shift+F6");
    auto box = run.WaitForWindow(kMainTitle, 10s);
    ASSERT_TRUE(box) << "Shift+F6 showed no box";
    ASSERT_TRUE(run.WaitUntilActive(box->id, 5s));
    run.Key("Return");
    ASSERT_TRUE(run.WaitUntilGone(box->id, 5s)) << "Return did not answer the box";
    ASSERT_TRUE(run.WaitUntilActive(main->id, 5s));

    ASSERT_TRUE(run.PlayAMove(MainNow(run))) << Describe(run.Openings());
    // The box may cover the board: its picture is taken once the move's animation is over.
    std::string board;
    ASSERT_TRUE(desktop::Desktop::WaitFor([&] {
        std::string now = run.BoardPicture(MainNow(run));
        return std::exchange(board, now) == now && now.size() > 1000;
    }, 10s, 150ms)) << "the board never stood still";
    const size_t mark = run.OpeningCount();
    run.Key("F2");
    box = run.WaitForWindow(kMainTitle, kSpeechEnds);
    ASSERT_TRUE(box) << "F2 after a move did not ask \"Laufendes Spiel abbrechen?\"";
    run.Run({"wmctrl", "-i", "-c", std::to_string(box->id)});
    ASSERT_TRUE(run.WaitUntilGone(box->id, kSpeechEnds)) << "the window manager's close did not close the box";
    ASSERT_TRUE(run.WaitUntilActive(main->id, 5s));
    EXPECT_TRUE(run.BoardPicture(MainNow(run)) == board) << "closing the box changed the board";
    EXPECT_FALSE(run.WaitForOpening("setball", mark, 0ms)) << "closing the box dealt a new board";

    const size_t again = run.OpeningCount();
    run.Key("F2");
    ASSERT_TRUE(run.WaitForOpening("ssto", again, kSpeechEnds)) << "F2 did not ask again:\n" << Describe(run.Openings());
    const size_t speaking = run.OpeningCount();
    run.Key("Escape");  // "Nein"
    run.Key("F2");
    EXPECT_TRUE(run.WaitForOpening("ssto", speaking, kSpeechEnds))
        << "F2 typed after Escape while the box spoke did not ask again:\n" << Describe(run.Openings());
    run.End();
    EXPECT_FALSE(run.WaitForOpening("setball", mark, 0ms)) << "Escape did not answer \"Nein\"";
    ExpectEachRecordingEndsBeforeTheNextSound(run.Openings());
}

} // namespace
