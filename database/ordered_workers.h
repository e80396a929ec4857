// Runs tasks on worker threads, each thread with its own codec, and lets the
// caller take the tasks back in the order it gave them, with at most a
// window of tasks in flight, so that memory holds that many whatever the file.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace database {

// As many as the machine has cores, at least 1; DROLLBOX_WORKERS, when set
// to a number from 1 on, overrides it (the tests compare runs of each).
unsigned worker_count();

class OrderedWorkers {
 public:
  // With no workers, each task runs on the caller as it is given.
  explicit OrderedWorkers(unsigned workers);
  // Tasks not yet started are dropped; started ones end first.
  ~OrderedWorkers();
  OrderedWorkers(const OrderedWorkers&) = delete;
  OrderedWorkers& operator=(const OrderedWorkers&) = delete;

  // Two tasks a worker keep it busy while the caller reads and writes the
  // blocks around them.
  static unsigned window_for(unsigned workers) { return 2 * workers + 2; }
  unsigned window() const { return static_cast<unsigned>(finished_.size()); }
  // The slot (0 .. window - 1) of the task given next; the caller keeps its
  // task's data there.
  unsigned next_slot() const { return static_cast<unsigned>(given_ % window()); }
  unsigned oldest_slot() const { return static_cast<unsigned>(taken_ % window()); }
  bool full() const { return given_ - taken_ == window(); }
  bool empty() const { return given_ == taken_; }

  // Needs room: take the oldest first when full.
  void give(std::function<void()> task);
  // Waits for the oldest task given and not yet taken; what it threw is
  // thrown here.
  void take_oldest();

 private:
  void serve();
  void run(unsigned slot);

  std::mutex mutex_;
  std::condition_variable work_ready_, work_done_;
  std::vector<std::function<void()>> tasks_;  // by slot
  std::vector<char> finished_;                // by slot
  std::vector<std::exception_ptr> failures_;  // by slot
  std::uint64_t given_ = 0, started_ = 0, taken_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace database
