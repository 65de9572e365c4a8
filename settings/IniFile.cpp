#include "settings/IniFile.h"

#include "common/FileSystem.h"
#include "common/WinText.h"
#include "settings/IniEncoding.h"
#include "settings/IniText.h"

#include <map>
#include <mutex>

namespace velmora {
namespace {

// The settings file is small; anything far larger is not one.
constexpr uint64_t kMaxIniBytes = uint64_t{64} << 20;
// The coarsest time a file system keeps (two seconds, FAT), in the units of
// FileStamp: a file read sooner than that after it was written may change
// again without a new time.
constexpr uint64_t kCoarsestFileTime = 2 * 10'000'000;
// Files whose parse is kept (a program has one; tests make many).
constexpr size_t kFilesKept = 16;

// The system's ANSI code page, read and written only where it converts
// both ways without loss.
const AnsiCodePage& SystemCodePage() {
  static const AnsiCodePage codePage{
      [](std::string_view bytes) -> std::optional<std::string> {
        std::string text = AnsiToUtf8(bytes), back;
        if (!Utf8ToAnsi(text, back) || back != bytes) return std::nullopt;
        return text;
      },
      [](std::string_view text) -> std::optional<std::string> {
        std::string bytes;
        if (!Utf8ToAnsi(text, bytes)) return std::nullopt;
        return bytes;
      }};
  return codePage;
}

class ParsedIni : public IniSnapshot {
 public:
  ParsedIni(std::string text, uint64_t version) : text_(std::move(text)), version_(version) {}
  std::optional<std::string> Get(std::string_view section, std::string_view key) const override {
    return text_.Get(section, key);
  }
  uint64_t Version() const override { return version_; }

 private:
  IniText text_;
  uint64_t version_;
};

// One file as last read or written here.
struct CachedFile {
  StampState state = StampState::kUnknown;
  FileStamp stamp;
  // The stamp alone tells whether the content is still this one.
  bool trusted = false;
  // The bytes ("" for an absent file); nullopt when the file is there but
  // could not be read.
  std::optional<std::string> content;
  std::optional<DecodedIni> decoded;
  std::shared_ptr<const ParsedIni> parsed;
};

struct Cache {
  std::mutex mutex;
  std::map<std::string, CachedFile> files;
  uint64_t reads = 0;
  uint64_t versions = 0;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

bool StillCurrent(const CachedFile& file, StampState state, const FileStamp& stamp) {
  if (!file.parsed || state != file.state) return false;
  switch (state) {
    case StampState::kNothingThere: return true;
    case StampState::kStamped: return file.trusted && stamp == file.stamp;
    case StampState::kUnknown: return false;
  }
  return false;
}

// The content given to the cached file; its parse is kept when it is the same.
void TakeContent(Cache& cache, CachedFile& file, std::optional<std::string> content) {
  if (file.parsed && file.content == content) return;
  file.content = std::move(content);
  file.decoded.reset();
  if (file.content) file.decoded.emplace(*file.content, SystemCodePage());
  file.parsed = std::make_shared<ParsedIni>(file.decoded ? file.decoded->Text() : std::string(),
                                            ++cache.versions);
}

// Reads the file again; its stamp is taken before its bytes, so a change
// made meanwhile is seen at the next look.
void Load(Cache& cache, const std::string& path, CachedFile& file) {
  FileStamp stamp;
  const StampState state = StampOf(path, stamp);
  std::optional<std::string> content = std::string();
  if (state != StampState::kNothingThere) {
    ++cache.reads;
    content = ReadWholeFile(path, kMaxIniBytes);
    // A folder in its place holds no keys, as an absent file.
    if (!content && !IsExistingFile(path)) content = std::string();
  }
  TakeContent(cache, file, std::move(content));
  file.state = state;
  file.stamp = stamp;
  file.trusted = state == StampState::kStamped && FileTimeNow() >= stamp.lastWrite + kCoarsestFileTime;
}

CachedFile& Entry(Cache& cache, const std::string& path) {
  if (cache.files.size() >= kFilesKept && !cache.files.count(path)) cache.files.clear();
  return cache.files[path];
}

// The text with the values set that can be; false in `allSet` when one could not.
bool SetValues(const DecodedIni& decoded, IniText& text, const std::vector<IniValue>& values,
               bool& allSet) {
  bool changed = false;
  allSet = true;
  for (const IniValue& v : values) {
    if (text.Get(v.section, v.key) == v.value) continue;  // nothing to write
    IniText trial = text;
    // A change that would write U+FFFD over bytes that could not be read is
    // refused; only then can one key's change stop the whole text.
    if (!trial.Set(v.section, v.key, v.value) ||
        (!decoded.Faithful() && !decoded.Encode(trial.Text(), SystemCodePage()))) {
      allSet = false;
      continue;
    }
    text = std::move(trial);
    changed = true;
  }
  return changed;
}

}  // namespace

std::shared_ptr<const IniSnapshot> ReadIniFile(const std::string& fileName) {
  Cache& cache = TheCache();
  const std::lock_guard<std::mutex> lock(cache.mutex);
  CachedFile& file = Entry(cache, fileName);
  FileStamp stamp;
  const StampState state = StampOf(fileName, stamp);
  if (!StillCurrent(file, state, stamp)) Load(cache, fileName, file);
  return file.parsed;
}

std::string GetIniString(const std::string& fileName, const std::string& section,
                         const std::string& key, const std::string& defaultValue) {
  return ReadIniFile(fileName)->Get(section, key).value_or(defaultValue);
}

bool WriteIniValues(const std::string& fileName, const std::vector<IniValue>& values) {
  Cache& cache = TheCache();
  const std::lock_guard<std::mutex> lock(cache.mutex);
  CachedFile& file = Entry(cache, fileName);
  // What another program wrote since the last read is kept.
  Load(cache, fileName, file);
  if (!file.decoded) return false;  // there but unreadable: leave it alone
  IniText text(file.decoded->Text());
  bool allSet = true;
  if (!SetValues(*file.decoded, text, values, allSet)) return allSet;
  const std::optional<std::string> bytes = file.decoded->Encode(text.Text(), SystemCodePage());
  if (!bytes || !ReplaceWholeFile(fileName, *bytes)) {
    cache.files.erase(fileName);
    return false;
  }
  // What was written is known: the next read needs only the stamp.
  TakeContent(cache, file, *bytes);
  file.state = StampOf(fileName, file.stamp);
  file.trusted = file.state == StampState::kStamped;
  return allSet;
}

bool WriteIniString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value) {
  return WriteIniValues(fileName, {{section, key, value}});
}

uint64_t IniFileReads() {
  Cache& cache = TheCache();
  const std::lock_guard<std::mutex> lock(cache.mutex);
  return cache.reads;
}

}  // namespace velmora
