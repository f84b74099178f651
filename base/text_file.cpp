#include "base/text_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarvolin {

IoError::IoError(std::string path, std::string reason)
    : std::runtime_error("cannot write file '" + path + "': " + reason),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

IoError IoError::fromSystem(const std::string& path) {
  return IoError(path, errno != 0 ? std::strerror(errno) : "input/output error");
}

TextWriter::~TextWriter() {
  if (file_) std::fclose(file_);
}

bool TextWriter::open(const std::string& path, const char* mode) {
  close();
  file_ = std::fopen(path.c_str(), mode);
  if (file_) path_ = path;
  return file_ != nullptr;
}

namespace {

// A writable regular file with no other name is replaced by a new file of the same mode instead
// of being truncated: ext4 writes a file that was truncated to zero back to disk when it is
// closed, so that every run replacing its report and plot files waited for the disk. A file
// that is write-protected, linked or reached through a symbolic link is truncated as before.
void removeForReplacement(const std::string& path, mode_t& mode) {
  struct stat status;
  if (lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_nlink != 1 ||
      access(path.c_str(), W_OK) != 0)
    return;
  if (unlink(path.c_str()) == 0) mode = status.st_mode & 07777;
}

}  // namespace

bool TextWriter::create(const std::string& path) {
  mode_t mode = 0;
  removeForReplacement(path, mode);
  if (!open(path, "wb")) return false;
  if (mode != 0) fchmod(fileno(file_), mode);
  return true;
}
bool TextWriter::append(const std::string& path) { return open(path, "ab"); }

void TextWriter::close() {
  if (!file_) return;
  errno = 0;
  const bool failed = std::fclose(file_) != 0;
  file_ = nullptr;
  if (failed) throw IoError::fromSystem(path_);
}

void TextWriter::check() {
  if (std::ferror(file_)) throw IoError::fromSystem(path_);
}

TextWriter& TextWriter::write(std::string_view text) {
  if (!file_) throw IoError(path_, "the file is not open");
  errno = 0;
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file_);
  check();
  return *this;
}

TextWriter& TextWriter::endLine() { return write("\r\n"); }

namespace {

// A folder opens for reading on this system but holds no text: it counts as no file.
bool isFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

}  // namespace

bool fileCanBeOpened(const std::string& path) {
  if (isFolder(path)) return false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

bool readWholeFile(const std::string& path, std::string& content) {
  if (isFolder(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

void dropByteOrderMark(std::string& text) {
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
}

// Each line is cut out whole at its end (CR LF, CR or LF).
std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace tarvolin
