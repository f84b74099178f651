#include "model/word_reader.h"

#include "model/limits.h"

namespace tarvolin {

int InputText::next() {
  if (pos_ >= text_.size()) return -1;
  const int c = static_cast<unsigned char>(text_[pos_++]);
  if (c == '\r') ++line;
  return c;
}

bool InputText::readLine(std::string& lineText) {
  lineText.clear();
  if (pos_ >= text_.size()) return false;
  while (pos_ < text_.size()) {
    const char c = text_[pos_++];
    if (c == '\n') break;
    if (c == '\r') {
      if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
      break;
    }
    lineText.push_back(c);
  }
  return true;
}

WordResult InputText::readWord(std::string& word) {
  word.clear();
  while (isDelimiter(lookAhead_)) lookAhead_ = next();
  if (lookAhead_ < 0) return WordResult::EndOfInput;
  while (lookAhead_ >= 0 && !isDelimiter(lookAhead_)) {
    if (static_cast<int>(word.size()) == kMaxWordLength) return WordResult::TooLong;
    word.push_back(static_cast<char>(lookAhead_));
    lookAhead_ = next();
  }
  return WordResult::Ok;
}

}  // namespace tarvolin
