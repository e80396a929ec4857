#include "database/ordered_workers.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "codec/codec.h"

namespace database {

unsigned worker_count() {
  if (const char* forced = std::getenv("DROLLBOX_WORKERS")) {
    char* end = nullptr;
    const unsigned long count = std::strtoul(forced, &end, 10);
    if (*forced != '\0' && *end == '\0' && count >= 1 && count <= 1024)
      return static_cast<unsigned>(count);
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

OrderedWorkers::OrderedWorkers(unsigned workers)
    : tasks_(window_for(workers)), finished_(window_for(workers)), failures_(window_for(workers)) {
  threads_.reserve(workers);
  // Fewer threads when the system gives no more (none: every task on the caller).
  try {
    for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { serve(); });
  } catch (const std::system_error&) {
  }
}

OrderedWorkers::~OrderedWorkers() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void OrderedWorkers::give(std::function<void()> task) {
  const unsigned slot = next_slot();
  {
    const std::lock_guard lock(mutex_);
    tasks_[slot] = std::move(task);
    finished_[slot] = 0;
    failures_[slot] = nullptr;
    ++given_;
  }
  if (!threads_.empty()) {
    work_ready_.notify_one();
    return;
  }
  ++started_;
  run(slot);
}

void OrderedWorkers::run(unsigned slot) {
  std::exception_ptr failure;
  try {
    tasks_[slot]();
  } catch (...) {
    failure = std::current_exception();
  }
  const std::lock_guard lock(mutex_);
  failures_[slot] = failure;
  finished_[slot] = 1;
  work_done_.notify_all();
}

void OrderedWorkers::take_oldest() {
  std::unique_lock lock(mutex_);
  const unsigned slot = oldest_slot();
  work_done_.wait(lock, [&] { return finished_[slot] != 0; });
  ++taken_;
  tasks_[slot] = nullptr;
  if (std::exception_ptr failure = std::exchange(failures_[slot], nullptr))
    std::rethrow_exception(failure);
}

void OrderedWorkers::serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [&] { return stopping_ || started_ < given_; });
    if (stopping_) break;
    const auto slot = static_cast<unsigned>(started_++ % window());
    lock.unlock();
    run(slot);
    lock.lock();
  }
  lock.unlock();
  codec::release_model();
}

}  // namespace database
