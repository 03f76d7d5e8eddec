// data: the companions' one writer and one reader.
#include "data.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {
bool key_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

bool plain(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 0x20 && u != 0x7f;
}
} // namespace

void data_put(Data& d, const std::string& key, const std::string& value) {
    std::string v = value;
    std::replace_if(
        v.begin(), v.end(), [](char c) { return !plain(c); }, ' ');
    for (auto& f : d.fields)
        if (f.first == key) {
            f.second = v;
            return;
        }
    d.fields.emplace_back(key, v);
}

const std::string* data_get(const Data& d, std::string_view key) {
    for (const auto& f : d.fields)
        if (f.first == key)
            return &f.second;
    return nullptr;
}

std::string data_value(const Data& d, std::string_view key) {
    const std::string* v = data_get(d, key);
    return v != nullptr ? *v : std::string();
}

std::vector<std::string> data_words(std::string_view text) {
    std::vector<std::string> w;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at)
            w.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    return w;
}

std::string data_lacks(const Data& d, std::string_view keys) {
    for (const std::string& k : data_words(keys))
        if (data_get(d, k) == nullptr)
            return k;
    return "";
}

std::string data_text(const Data& d) {
    std::string s(data_header);
    s += '\n';
    for (const auto& [k, v] : d.fields)
        s.append(k).append(" ").append(v).append("\n");
    return s;
}

std::string data_read(std::string_view text, Data* d) {
    d->fields.clear();
    if (text.size() > data_most)
        return "it is longer than " + std::to_string(data_most) + " bytes";
    if (text.substr(0, data_header.size() + 1) != std::string(data_header) + "\n")
        return text.empty() ? "it is empty"
                            : "its first line is not \"" + std::string(data_header) + "\"";
    std::size_t line = 1;
    for (std::size_t at = data_header.size() + 1; at < text.size(); ++line) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            return "line " + std::to_string(line + 1) + " has no line end";
        std::string_view l = text.substr(at, end - at);
        at = end + 1;
        std::size_t sp = l.find(' ');
        std::string_view k = l.substr(0, sp), v = sp == l.npos ? "" : l.substr(sp + 1);
        bool ok = sp != l.npos && !k.empty() && std::all_of(k.begin(), k.end(), key_char) &&
                  std::all_of(v.begin(), v.end(), plain);
        if (!ok)
            return "line " + std::to_string(line + 1) + " is not a key, a space and a value";
        if (data_get(*d, k) != nullptr)
            return "line " + std::to_string(line + 1) + " repeats " + std::string(k);
        d->fields.emplace_back(std::string(k), std::string(v));
    }
    return "";
}

namespace {
constexpr std::uint64_t fnv_start = 0xcbf29ce484222325ULL;

std::uint64_t fnv_add(std::uint64_t h, std::string_view bytes) {
    for (char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

std::string hex_of(std::uint64_t h) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}
} // namespace

std::string checksum_text(std::string_view bytes) {
    return hex_of(fnv_add(fnv_start, bytes));
}

bool data_put_path(Data& d, const std::string& key, const char* path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return false;
    std::uint64_t h = fnv_start, bytes = 0;
    char b[65536];
    for (std::size_t n; (n = std::fread(b, 1, sizeof b, f)) > 0; bytes += n)
        h = fnv_add(h, std::string_view(b, n));
    bool ok = std::ferror(f) == 0;
    std::fclose(f);
    if (ok) {
        data_put(d, key, path);
        data_put(d, key + "-bytes", std::to_string(bytes));
        data_put(d, key + "-checksum", hex_of(h));
    }
    return ok;
}

void data_put_file(Data& d, const std::string& key, const std::string& name,
                   std::string_view bytes) {
    data_put(d, key, name);
    data_put(d, key + "-bytes", std::to_string(bytes.size()));
    data_put(d, key + "-checksum", checksum_text(bytes));
}

std::string command_text(int argc, char** argv) {
    std::string s;
    for (int i = 0; i < argc; ++i) {
        std::string a =
            i == 0 ? std::string(argv[0]).substr(std::string(argv[0]).find_last_of("/\\") + 1)
                   : argv[i];
        bool bare = !a.empty() && std::all_of(a.begin(), a.end(), [](char c) {
            return key_char(c) || c == '+' || c == '/' || c == ',' || c == '=' || c == ':';
        });
        if (!bare) {
            std::string q = "'";
            for (char c : a)
                q += c == '\'' ? std::string("'\\''") : std::string(1, c);
            a = q + "'";
        }
        s += (i > 0 ? " " : "") + a;
    }
    return s;
}
