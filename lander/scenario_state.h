// The lander's scenario lines: its four mechanisms, the descent phase, the one-shot flags and
// the name of its mother vessel, written after the simulator's standard lines.
#pragma once

#include <cstddef>
#include <string>

namespace scenario_state {

// The mother-vessel name as one blank-free word: every blank becomes a plus sign.
std::string encoded_name(const char* name);

// Turns a name read back from its word into the name: every plus sign becomes a blank.
void decode_name(char* name);

// Reads the values of a line one after another, exactly as the C scan functions read a decimal
// integer ("%d"), a decimal number ("%lf") or a word ("%s"). The first value that is missing or
// malformed stops the reading, and so does one the lander could not save and read back: an
// integer beyond int or a number not finite. Any finite number is taken as read: the widest
// saved value ("%d %0.4f" of INT_MIN and -DBL_MAX, 327 characters) fits the save buffer. That
// field and every later one keep what they had.
class value_reader {
  public:
    explicit value_reader(const char* text) : next_(text) {}

    value_reader& next(int& value);
    value_reader& next(double& value);
    // A word of at most capacity - 1 characters, zero-terminated; a longer word is cut.
    value_reader& next_word(char* word, std::size_t capacity);

  private:
    const char* next_;  // null once a value could not be read
};

}  // namespace scenario_state
