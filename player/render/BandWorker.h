// A second thread that draws one band of a frame while the caller draws the
// other: started once, woken for each frame, joined when destroyed.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace velmora::swf {

class BandWorker {
 public:
  BandWorker();
  ~BandWorker();
  BandWorker(const BandWorker&) = delete;
  BandWorker& operator=(const BandWorker&) = delete;

  // Runs `job` on the worker while `here` runs on the calling thread, and
  // returns when both have finished.
  void RunBeside(const std::function<void()>& job, const std::function<void()>& here);

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable wake_, finished_;
  const std::function<void()>* job_ = nullptr;
  bool busy_ = false, quit_ = false;
  std::thread thread_;
};

}  // namespace velmora::swf
