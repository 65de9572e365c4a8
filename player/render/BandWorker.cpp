#include "player/render/BandWorker.h"

namespace velmora::swf {

BandWorker::BandWorker() : thread_(&BandWorker::Loop, this) {}

BandWorker::~BandWorker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void BandWorker::RunBeside(const std::function<void()>& job, const std::function<void()>& here) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = &job;
    busy_ = true;
  }
  wake_.notify_one();
  here();
  std::unique_lock<std::mutex> lock(mutex_);
  finished_.wait(lock, [this] { return !busy_; });
  job_ = nullptr;
}

void BandWorker::Loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || busy_; });
    if (quit_) return;
    const std::function<void()>* job = job_;
    lock.unlock();
    (*job)();
    lock.lock();
    busy_ = false;
    finished_.notify_one();
  }
}

}  // namespace velmora::swf
