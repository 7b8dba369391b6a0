// What the installation run's thread hands to the GUI thread: work that
// must run there, and what the installation form is to show.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/GuiQueue.h"
#include "engine/SharedProgress.h"

namespace {

TEST(GuiQueue, WorkOfAnotherThreadRunsOnTheGuiThreadInOrderAndItsFailureComesBack) {
  std::atomic<int> wakes = 0;
  core::GuiQueue gui([&] { ++wakes; });
  const std::thread::id guiThread = std::this_thread::get_id();
  std::vector<std::thread::id> ranOn;
  std::vector<int> order;
  std::atomic<bool> done = false;
  std::string failure;

  std::jthread worker([&] {
    gui.Call([&] {
      ranOn.push_back(std::this_thread::get_id());
      order.push_back(1);
    });
    gui.Post([&] { order.push_back(2); });
    try {
      gui.Call([] { throw std::runtime_error("im GUI-Faden"); });
    } catch (const std::runtime_error& error) {
      failure = error.what();
    }
    done = true;
  });
  for (int i = 0; i < 60000 && !done; ++i) {
    gui.RunPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  worker.join();

  EXPECT_EQ(ranOn, std::vector<std::thread::id>{guiThread});
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_EQ(failure, "im GUI-Faden");
  EXPECT_GE(wakes, 1);
  // On the GUI thread itself work runs at once.
  bool atOnce = false;
  EXPECT_TRUE(gui.Call([&] { atOnce = true; }));
  EXPECT_TRUE(atOnce);
}

TEST(GuiQueue, ClosingLetsAWaitingCallReturnWithoutRunningIt) {
  core::GuiQueue gui([] {});
  std::atomic<bool> waiting = false;
  bool ran = false;
  bool answered = true;
  std::jthread worker([&] {
    waiting = true;
    answered = gui.Call([&] { ran = true; });
  });
  while (!waiting)
    std::this_thread::yield();
  gui.Close();
  worker.join();
  EXPECT_FALSE(answered);
  EXPECT_FALSE(ran);
  EXPECT_FALSE(gui.Call([&] { ran = true; })) << "nothing runs after the close";
  EXPECT_FALSE(ran);
}

TEST(GuiQueue, AFailureOfPostedWorkReachesTheGuiThreadAfterTheRestHasRun) {
  core::GuiQueue gui([] {});
  bool later = false;
  gui.Post([] { throw std::runtime_error("gepostet"); });
  gui.Post([&] { later = true; });
  EXPECT_THROW(gui.RunPending(), std::runtime_error);
  EXPECT_TRUE(later);
}

TEST(SharedProgress, WakesOnceUntilTakenAndShowsTheLastOfEachChange) {
  int wakes = 0;
  engine::SharedProgress progress([&] { ++wakes; });
  progress.SetStatus("Setup extrahiert Dateien...");
  progress.SetDetail("Datei \"1\" wird extrahiert...");
  progress.SetBarPosition(10);
  progress.SetupBar(100, 0, engine::BarDirection::LeftToRight, engine::BarColorStyle::OneColor);
  progress.EnableAnimation(false);
  progress.SetStatus("Setup kopiert Dateien...");
  progress.SetBarPosition(50);
  EXPECT_EQ(wakes, 1);

  const engine::SharedProgress::Changes changes = progress.Take();
  EXPECT_EQ(changes.status, "Setup kopiert Dateien...");
  EXPECT_EQ(changes.detail, "Datei \"1\" wird extrahiert...");
  ASSERT_TRUE(changes.bar);
  EXPECT_EQ(changes.bar->max, 100);
  EXPECT_EQ(changes.bar->style, engine::BarColorStyle::OneColor);
  EXPECT_EQ(changes.animation, false);
  EXPECT_EQ(changes.position, 50) << "the position after the new range";
  EXPECT_FALSE(changes.repaintForm);

  const engine::SharedProgress::Changes none = progress.Take();
  EXPECT_FALSE(none.status || none.detail || none.bar || none.animation || none.position);
  progress.SetDetail("");
  EXPECT_EQ(wakes, 2);
  EXPECT_EQ(progress.Take().detail, "") << "an empty text clears the line";
}

}  // namespace
