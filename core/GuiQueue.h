#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace core {

/// Work that other threads hand to the GUI thread: the installation run
/// asks its questions and reports its end through it, so that every window
/// is touched on the thread that made it. The GUI thread never waits for
/// the other threads; it runs what is waiting whenever it is woken.
class GuiQueue {
 public:
  /// `wake` is called, from the thread that hands work over, when work
  /// arrives while none was waiting: it makes the GUI thread call
  /// RunPending soon (the program posts a message to a window). The GUI
  /// thread is the one that makes the queue.
  explicit GuiQueue(std::function<void()> wake);
  GuiQueue(const GuiQueue&) = delete;
  GuiQueue& operator=(const GuiQueue&) = delete;

  /// Runs `work` on the GUI thread and returns when it has run; an exception
  /// it raises is raised here. Called on the GUI thread itself, runs it at
  /// once. False, without running it, when the queue is closed (also while
  /// waiting).
  bool Call(std::function<void()> work);
  /// Whether the calling thread is the GUI thread.
  bool OnGuiThread() const { return std::this_thread::get_id() == guiThread_; }
  /// Runs `work` on the GUI thread later, without waiting for it. Work
  /// posted to a closed queue is dropped.
  void Post(std::function<void()> work);
  /// On the GUI thread: runs the work that is waiting, in the order it came.
  /// An exception of posted work is raised here after the rest has run.
  void RunPending();
  /// Takes no more work and lets every waiting Call return false. For the
  /// end of the program, when the GUI thread runs nothing any more.
  void Close();

 private:
  struct Item;

  void Enqueue(std::shared_ptr<Item> item);

  std::function<void()> wake_;
  const std::thread::id guiThread_;
  std::mutex mutex_;
  std::condition_variable done_;
  std::deque<std::shared_ptr<Item>> waiting_;
  bool closed_ = false;
};

}  // namespace core
