#include "platform/sim/defaults/file_defaults.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <system_error>
#include <vector>

#include "platform/sim/defaults/file_defaults_codec.h"

namespace vistarail::sim {

namespace fs = std::filesystem;

namespace {

constexpr char kFolderName[] = "vistarail";
constexpr char kFileName[] = "defaults.json";

std::string inQuotes(const fs::path& path) {
  return "\"" + path.string() + "\"";
}

std::string errnoText(int error) {
  return std::error_code(error, std::generic_category()).message();
}

std::optional<std::string> homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home);
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return std::nullopt;
  }
  if (!found->pw_dir || !*found->pw_dir) return std::nullopt;
  return std::string(found->pw_dir);
}

// The file's bytes, or a description of why they cannot be had.
struct FileRead {
  std::string bytes;
  std::optional<std::string> problem;
};

FileRead readWholeFile(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return {{}, "does not exist yet"};
    return {{}, "could not be opened (" + errnoText(errno) + ")"};
  }
  FileRead result;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return {{}, "is not a regular file"};
  }
  if (static_cast<uintmax_t>(info.st_size) > FileDefaults::kMaxFileBytes) {
    ::close(fd);
    return {{}, "is larger than " + std::to_string(FileDefaults::kMaxFileBytes >> 20) + " MiB"};
  }
  char chunk[65536];
  while (true) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.problem = "could not be read (" + errnoText(errno) + ")";
      break;
    }
    if (n == 0) break;
    result.bytes.append(chunk, static_cast<size_t>(n));
    if (result.bytes.size() > FileDefaults::kMaxFileBytes) {
      result.problem =
          "is larger than " + std::to_string(FileDefaults::kMaxFileBytes >> 20) + " MiB";
      break;
    }
  }
  ::close(fd);
  return result;
}

bool isBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The stored dictionary, or a description of what is wrong with the text.
struct ParsedDocument {
  PropertyList values = PropertyList::object();
  std::optional<std::string> problem;
};

ParsedDocument parseDocument(const std::string& text) {
  if (isBlank(text)) return {PropertyList::object(), "is empty"};
  bool tooDeep = false;
  const PropertyList::parser_callback_t limitDepth =
      [&tooDeep](int depth, PropertyList::parse_event_t, PropertyList&) {
        if (depth < kMaxNestingDepth) return true;
        tooDeep = true;
        return false;
      };
  PropertyList document;
  try {
    document = PropertyList::parse(text, limitDepth);
  } catch (const PropertyList::parse_error& error) {
    return {PropertyList::object(),
            "is not valid JSON (error at byte " + std::to_string(error.byte) + ")"};
  } catch (const PropertyList::out_of_range&) {
    return {PropertyList::object(), "is not valid JSON (a number is out of range)"};
  } catch (const std::exception&) {
    return {PropertyList::object(), "is not valid JSON"};
  }
  if (tooDeep) return {PropertyList::object(), "is nested too deeply"};
  if (!document.is_object()) {
    return {PropertyList::object(),
            std::string("holds a JSON ") + document.type_name() + ", not an object"};
  }
  return {decodeFromFile(document), std::nullopt};
}

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes through a temporary file in the same folder and renames it into place.
std::optional<std::string> writeAtomically(const fs::path& path, const std::string& text) {
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return "could not create the folder " + inQuotes(folder) + " (" + ec.message() + ")";
  std::string temporary = (folder / (path.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0)
    return "could not create a temporary file in " + inQuotes(folder) + " (" + errnoText(errno) +
           ")";
  const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
  const int writeError = errno;
  if (::close(fd) != 0 || !written) {
    ::unlink(temporary.c_str());
    return "could not write " + inQuotes(temporary) + " (" +
           errnoText(written ? errno : writeError) + ")";
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int renameError = errno;
    ::unlink(temporary.c_str());
    return "could not replace " + inQuotes(path) + " (" + errnoText(renameError) + ")";
  }
  // Make the rename itself durable; failing here loses nothing already written.
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return std::nullopt;
}

}  // namespace

std::optional<fs::path> FileDefaults::standardPath() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    // Relative values are invalid by the base-directory convention and ignored.
    if (fs::path(xdg).is_absolute()) return fs::path(xdg) / kFolderName / kFileName;
  }
  const auto home = homeFolder();
  if (!home) return std::nullopt;
  return fs::path(*home) / ".config" / kFolderName / kFileName;
}

FileDefaults::FileDefaults(Reporter reporter, QueueRef writeQueue)
    : reporter_(std::move(reporter)), writeQueue_(std::move(writeQueue)) {
  write_->owner = this;
  if (auto standard = standardPath()) {
    path_ = std::move(*standard);
    load();
    return;
  }
  report("vistarail: no home folder is known (HOME is not set); settings will not be saved");
}

FileDefaults::FileDefaults(fs::path path, Reporter reporter, QueueRef writeQueue)
    : path_(std::move(path)), reporter_(std::move(reporter)), writeQueue_(std::move(writeQueue)) {
  write_->owner = this;
  load();
}

FileDefaults::~FileDefaults() {
  std::lock_guard lock(write_->mutex);
  writeIfDirty();
  write_->owner = nullptr;
}

void FileDefaults::report(const std::string& line) const {
  if (reporter_) {
    reporter_(line);
    return;
  }
  std::cerr << line << '\n';
}

void FileDefaults::load() {
  FileRead file = readWholeFile(path_);
  std::optional<std::string> problem = std::move(file.problem);
  if (!problem) {
    ParsedDocument parsed = parseDocument(file.bytes);
    problem = std::move(parsed.problem);
    for (const auto& [key, value] : parsed.values.items()) memory_.set(key, value);
  }
  if (!problem) return;
  // A file that exists but could not be used is set aside at the first write.
  std::error_code ec;
  backUpBeforeWrite_ = fs::is_regular_file(path_, ec);
  std::string line =
      "vistarail: settings file " + inQuotes(path_) + " " + *problem + "; using defaults";
  if (backUpBeforeWrite_) {
    line +=
        "; it will be kept as \"" + path_.filename().string() + ".bad\" when settings are saved";
  }
  report(line);
}

void FileDefaults::registerDefaults(const PropertyList& dictionary) {
  memory_.registerDefaults(dictionary);
}

std::optional<PropertyList> FileDefaults::object(const std::string& key) const {
  return memory_.object(key);
}

void FileDefaults::set(const std::string& key, const PropertyList& value) {
  bool schedule = false;
  {
    std::lock_guard lock(write_->mutex);
    memory_.set(key, value);
    schedule = changed();
  }
  if (schedule) scheduleWrite();
}

void FileDefaults::remove(const std::string& key) {
  bool schedule = false;
  {
    std::lock_guard lock(write_->mutex);
    // Removing what is not stored changes nothing, so it must not rewrite (or
    // replace an unreadable) file either.
    if (!memory_.storedObject(key)) return;
    memory_.remove(key);
    schedule = changed();
  }
  if (schedule) scheduleWrite();
}

void FileDefaults::flush() {
  std::lock_guard lock(write_->mutex);
  writeIfDirty();
}

uint64_t FileDefaults::filesWritten() const {
  std::lock_guard lock(write_->mutex);
  return write_->filesWritten;
}

bool FileDefaults::changed() {
  write_->dirty = true;
  if (!writeQueue_ || write_->scheduled) return false;
  write_->scheduled = true;
  return true;
}

// Submitted outside the lock: a dispatch call.
void FileDefaults::scheduleWrite() {
  writeQueue_->asyncAfter(kWriteDelaySeconds, [weak = std::weak_ptr<WriteState>(write_)] {
    auto state = weak.lock();
    if (!state) return;
    std::lock_guard lock(state->mutex);
    state->scheduled = false;
    if (state->owner) state->owner->writeIfDirty();
  });
}

void FileDefaults::writeIfDirty() {
  if (!write_->dirty) return;
  // A failed write stays outstanding, so the next flush tries again.
  write_->dirty = !save();
}

// A settings file that is a link (into a folder of dotfiles, say) stays a link:
// the file it points to is the one replaced.
fs::path FileDefaults::writeTarget() const {
  std::error_code ec;
  if (!fs::is_symlink(path_, ec)) return path_;
  fs::path target = fs::weakly_canonical(path_, ec);
  return ec ? path_ : target;
}

bool FileDefaults::save() {
  if (path_.empty()) return true;
  const fs::path target = writeTarget();
  if (backUpBeforeWrite_) {
    fs::path backup = target;
    backup += ".bad";
    std::error_code ec;
    fs::rename(target, backup, ec);
    if (ec && fs::exists(target, ec)) {
      report("vistarail: could not keep the unreadable settings file as " + inQuotes(backup) +
             "; it will be replaced");
    }
    backUpBeforeWrite_ = false;
  }
  const std::string text = encodeForFile(memory_.storedValues())
                               .dump(2, ' ', false, PropertyList::error_handler_t::replace) +
                           "\n";
  const auto failure = writeAtomically(target, text);
  if (!failure) {
    ++write_->filesWritten;
    writeFailureReported_ = false;
    return true;
  }
  if (writeFailureReported_) return false;
  writeFailureReported_ = true;
  report("vistarail: settings not saved: " + *failure);
  return false;
}

}  // namespace vistarail::sim
