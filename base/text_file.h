#pragma once
// Text files of the system: written with CR LF line ends, every write checked, so that a full
// disk or a vanished folder ends the run with a message instead of a silently short report.

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin {

// A file that could not be created or written, with the system's reason (for example "No space
// left on device"), so that the user learns which file failed and why.
class IoError : public std::runtime_error {
 public:
  IoError(std::string path, std::string reason);
  // The reason the system gave for its last failed call (errno).
  static IoError fromSystem(const std::string& path);
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

class TextWriter {
 public:
  TextWriter() = default;
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  // Creates the file, replacing one of that name; false when it cannot be created.
  bool create(const std::string& path);
  // Opens the file for appending; false when it cannot be opened.
  bool append(const std::string& path);
  void close();
  bool isOpen() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }

  TextWriter& write(std::string_view text);
  TextWriter& endLine();
  TextWriter& line(std::string_view text) { return write(text).endLine(); }

 private:
  bool open(const std::string& path, const char* mode);
  void check();
  std::FILE* file_ = nullptr;
  std::string path_;
};

// True when the named file exists and can be opened for reading.
bool fileCanBeOpened(const std::string& path);

// Whole file as bytes; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& content);

// Editors on other systems often begin a UTF-8 text with the byte-order mark EF BB BF; it is
// no part of the text and is removed.
void dropByteOrderMark(std::string& text);

// Splits text into lines at CR LF, LF or a lone CR; the line ends are not kept. A last line
// without a line end is kept; a final line end does not start an empty line.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace tarvolin
