#include "core/GuiQueue.h"

#include <exception>
#include <utility>

namespace core {

struct GuiQueue::Item {
  std::function<void()> work;
  // Someone waits in Call for it to finish.
  bool awaited = false;
  bool finished = false;
  std::exception_ptr failure;
};

GuiQueue::GuiQueue(std::function<void()> wake)
    : wake_(std::move(wake)), guiThread_(std::this_thread::get_id()) {}

void GuiQueue::Enqueue(std::shared_ptr<Item> item) {
  bool first = false;
  {
    const std::lock_guard lock(mutex_);
    if (closed_)
      return;
    first = waiting_.empty();
    waiting_.push_back(std::move(item));
  }
  if (first && wake_)
    wake_();
}

bool GuiQueue::Call(std::function<void()> work) {
  if (OnGuiThread()) {
    {
      const std::lock_guard lock(mutex_);
      if (closed_)
        return false;
    }
    work();
    return true;
  }
  auto item = std::make_shared<Item>();
  item->work = std::move(work);
  item->awaited = true;
  Enqueue(item);
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return item->finished || closed_; });
  if (!item->finished)
    return false;
  // The failure leaves the item here, on the thread that handles it: the
  // GUI thread, which drops the item later, must not hold the last
  // reference to an exception this thread is reading.
  const std::exception_ptr failure = std::exchange(item->failure, nullptr);
  lock.unlock();
  if (failure)
    std::rethrow_exception(failure);
  return true;
}

void GuiQueue::Post(std::function<void()> work) {
  auto item = std::make_shared<Item>();
  item->work = std::move(work);
  Enqueue(std::move(item));
}

void GuiQueue::RunPending() {
  // A failure of posted work reaches the GUI thread's own error display,
  // once the work behind it has run too.
  std::exception_ptr postedFailure;
  while (true) {
    std::shared_ptr<Item> item;
    {
      const std::lock_guard lock(mutex_);
      if (waiting_.empty() || closed_)
        break;
      item = std::move(waiting_.front());
      waiting_.pop_front();
    }
    try {
      item->work();
    } catch (...) {
      if (item->awaited)
        item->failure = std::current_exception();
      else if (!postedFailure)
        postedFailure = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      item->finished = true;
    }
    done_.notify_all();
  }
  if (postedFailure)
    std::rethrow_exception(postedFailure);
}

void GuiQueue::Close() {
  {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    waiting_.clear();
  }
  done_.notify_all();
}

}  // namespace core
