// Timings of the rules the window waits on between its animation frames: the largest-group
// measurement after every deal and move, and one whole move without its waits.
#include <benchmark/benchmark.h>

#include "game/BoardGame.h"
#include "game/Deal.h"
#include "game/Groups.h"
#include "runtime/Random.h"

namespace {

Board DealtDefaultBoard() {
  rt::SeedRandom(1);
  BoardGame game;
  game.DealNewBoard(DealSettings{});
  return game.CurrentBoard();
}

void BM_BestGroupSizeDefaultBoard(benchmark::State& state) {
  Board board = DealtDefaultBoard();
  int16_t groupSize = 0;
  for (auto _ : state) benchmark::DoNotOptimize(BestGroupSize(board, groupSize));
}
BENCHMARK(BM_BestGroupSizeDefaultBoard)->Unit(benchmark::kMicrosecond);

void BM_BestGroupSizeLargestBoardOneColour(benchmark::State& state) {
  Board board = FillBoard(kMaxGameColumns, kMaxGameRows, 1, 480, 480);
  int16_t groupSize = 0;
  for (auto _ : state) benchmark::DoNotOptimize(BestGroupSize(board, groupSize));
}
BENCHMARK(BM_BestGroupSizeLargestBoardOneColour)->Unit(benchmark::kMicrosecond);

// Select the first group of two or more and carry the move out: snapshot, removal,
// falling, points, closing and the measurement of what is left. The board is dealt anew
// outside the timing whenever the game runs out of groups.
void BM_WholeMoveDefaultBoard(benchmark::State& state) {
  rt::SeedRandom(1);
  BoardGame game;
  game.DealNewBoard(DealSettings{});
  for (auto _ : state) {
    int16_t ball = 0;
    ForEachCell(game.CurrentBoard(), [&](const BoardCell& cell) {
      if (ball == 0 && cell.Occupied && game.SelectGroup(cell.PicIndex) >= 2) ball = cell.PicIndex;
    });
    const std::optional<MoveOutcome> move = game.CompleteMove();
    benchmark::DoNotOptimize(move);
    if (move && move->Best > 1) continue;
    state.PauseTiming();
    game.DealNewBoard(DealSettings{});
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WholeMoveDefaultBoard)->Unit(benchmark::kMicrosecond);

// The deal's unseen attempts on settings that almost never pass: every one of its
// kMaxDealAttempts attempts is made. This is all a deal adds to the showing of the one
// board it keeps; target: well below 1 s.
void BM_HopelessDealLargestBoardTwoColours(benchmark::State& state) {
  rt::SeedRandom(1);
  const DealSettings settings{kMaxGameColumns, kMaxGameRows, 2, 8, 480, 480};
  for (auto _ : state) {
    BoardGame game;
    benchmark::DoNotOptimize(game.DealNewBoard(settings));
  }
  state.counters["attempts"] = kMaxDealAttempts;
}
BENCHMARK(BM_HopelessDealLargestBoardTwoColours)->Unit(benchmark::kMillisecond);

void BM_HopelessDeal30x20ThreeColours(benchmark::State& state) {
  rt::SeedRandom(1);
  const DealSettings settings{30, 20, 3, 8, 480, 480};
  for (auto _ : state) {
    BoardGame game;
    benchmark::DoNotOptimize(game.DealNewBoard(settings));
  }
}
BENCHMARK(BM_HopelessDeal30x20ThreeColours)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
