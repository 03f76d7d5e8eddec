// data: the small machine-readable companion a program writes beside its figure when asked
// (--data FILE): what its human lines say, as named fields, one "key value" a line after a
// first line that names the format. The same inputs give the same bytes: no time, no id.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr std::string_view data_header = "lorentz-interp data 1";
// The most bytes a reader takes of a companion.
inline constexpr std::size_t data_most = 1 << 16;

struct Data {
    std::vector<std::pair<std::string, std::string>> fields; // in the order put
};
// Puts key (letters, digits, '.', '-', '_') with value; a control byte of value becomes a
// space. A key put twice keeps the last value.
void data_put(Data& d, const std::string& key, const std::string& value);
// The value of key, or null.
const std::string* data_get(const Data& d, std::string_view key);
// The value of key, or "" when there is none.
std::string data_value(const Data& d, std::string_view key);
// The words of text, separated by spaces (a field's list: "spline quadratic").
std::vector<std::string> data_words(std::string_view text);
// "" when d has every key of `keys` (words separated by spaces), else the first it lacks.
std::string data_lacks(const Data& d, std::string_view keys);
// The companion as a file's bytes.
std::string data_text(const Data& d);
// "" when text is a companion (read into *d), else what is wrong with it, with the line.
std::string data_read(std::string_view text, Data* d);

// The 64-bit FNV-1a checksum of bytes, as 16 hex digits.
std::string checksum_text(std::string_view bytes);
// The fields of the regular file at path, read in blocks (a table of any size): false, and no
// fields, when it is not one or cannot be read.
bool data_put_path(Data& d, const std::string& key, const char* path);
// The fields of a file the run read or wrote: KEY (its name), KEY-bytes, KEY-checksum.
void data_put_file(Data& d, const std::string& key, const std::string& name,
                   std::string_view bytes);
// The command line as typed, each argument quoted for a POSIX shell where it needs it.
std::string command_text(int argc, char** argv);
