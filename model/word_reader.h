#pragma once
// Reading of the input work copy: whole lines for the file header and titles, and a stream of
// words for the system data. Both share one position and one line counter; the word reader
// adds 1 for every CR it reads, the caller for every whole line it reads.

#include <string>

namespace tarvolin {

enum class WordResult { Ok, EndOfInput, TooLong };

class InputText {
 public:
  explicit InputText(std::string content) : text_(std::move(content)) {}

  // The rest of the current line; its line end (CR LF, LF or CR) is consumed. False when the
  // input has ended.
  bool readLine(std::string& line);

  // Skips delimiters (blank, CR, LF, TAB, ","), then collects one word of at most 32
  // characters; the delimiter that ends it is consumed and held as the look-ahead character.
  WordResult readWord(std::string& word);

  // Reads one character into the look-ahead (after a system's last word, so that the next
  // title is the following line).
  void readLookAhead() { lookAhead_ = next(); }

  bool atEnd() const { return pos_ >= text_.size(); }

  int line = 0;  // the line counter that messages report

 private:
  int next();
  static bool isDelimiter(int c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == ',';
  }
  std::string text_;
  std::size_t pos_ = 0;
  int lookAhead_ = ' ';
};

}  // namespace tarvolin
