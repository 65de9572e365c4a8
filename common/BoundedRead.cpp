#include "common/BoundedRead.h"

#include "common/Handles.h"
#include "common/WinText.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace velmora {
namespace {

// More reads than this given up on and still running: the next ones are
// refused at once instead of each waiting its full patience.
constexpr int kMostStuckReads = 4;
std::atomic<int> stuckReads{0};

enum ReadState : int { kRunning, kFinished, kAbandoned };

struct ReadJob {
  std::string path;
  uint64_t maxBytes = 0;
  std::optional<std::string> bytes;
  UniqueKernelHandle done;
  std::atomic<int> state{kRunning};
};

std::optional<std::string> ReadDiskFile(const std::string& path, uint64_t maxBytes) {
  const UniqueFile file(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.get(), &size) ||
      size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > maxBytes)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0)
      return std::nullopt;
    done += read;
  }
  return bytes;
}

void CALLBACK ReadOnPoolThread(PTP_CALLBACK_INSTANCE, void* parameter) {
  const std::unique_ptr<std::shared_ptr<ReadJob>> holder(static_cast<std::shared_ptr<ReadJob>*>(parameter));
  ReadJob& job = **holder;
  job.bytes = ReadDiskFile(job.path, job.maxBytes);
  int running = kRunning;
  if (!job.state.compare_exchange_strong(running, kFinished)) --stuckReads;  // given up on: no longer stuck
  ::SetEvent(job.done.get());
}

}  // namespace

std::optional<std::string> ReadSmallFileWithin(const std::string& path, uint64_t maxBytes,
                                               std::chrono::milliseconds patience) {
  if (stuckReads.load() >= kMostStuckReads) return std::nullopt;
  auto job = std::make_shared<ReadJob>();
  job->path = path;
  job->maxBytes = maxBytes;
  job->done.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!job->done) return std::nullopt;
  // The pool thread's own share of the job, handed over once it is queued.
  // A thread of the system's pool: cheap to have again for every read.
  auto holder = std::make_unique<std::shared_ptr<ReadJob>>(job);
  if (!::TrySubmitThreadpoolCallback(ReadOnPoolThread, holder.get(), nullptr)) return std::nullopt;
  holder.release();
  if (::WaitForSingleObject(job->done.get(), static_cast<DWORD>(patience.count())) != WAIT_OBJECT_0) {
    // The read goes on alone with its own share of the job; the caller goes on.
    ++stuckReads;
    int running = kRunning;
    if (job->state.compare_exchange_strong(running, kAbandoned)) return std::nullopt;
    --stuckReads;  // it finished just now
  }
  return job->bytes;  // written before the event was set
}

}  // namespace velmora
