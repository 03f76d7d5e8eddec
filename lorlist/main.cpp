// lorlist: counts the lines of loren.out and, unless the answer is the key 0, lists it.
#include "read_key.hpp"
#include "shell.hpp"

#include <cerrno>
#include <cstdio>

namespace {
constexpr const char* usage =
    "usage: lorlist\n"
    "Prints the number of lines of loren.out in the current folder, waits for a key at the\n"
    "terminal (not standard input) and, unless the key is 0, lists the table and waits for\n"
    "one more key.\n"
    "Exit status: 0; 1 when loren.out cannot be read or standard output cannot be written.\n";
} // namespace

int main(int argc, char** argv) {
    if (plain_args(argc, argv, "lorlist", usage))
        return 0;
    Console& c = console_start("lorlist");
    static TextFile f;
    errno = 0;
    bool open = tf_open(f, table_name);
    int cause = open ? 0 : errno;
    long long n = open ? count_lines(f) : -1;
    if (n < 0) {
        cause = open ? tf_failed(f) : cause;
        open = false;
        std::fputs(msg_cannot_open, stdout);
        report_unusable(c, table_name, Load::cannot_open, cause, 0);
    } else {
        std::printf("nlines = %lld \n", n);
    }
    std::fputs("Press any key\n", stdout);
    std::fflush(stdout);
    int key = read_key();
    std::printf("ans %c %d \n", key, key);
    if (key == 48)
        return console_end(c, open ? 0 : 1);
    if (open) {
        // The listing is the bytes the reader delivers: CRs dropped, up to a byte 26.
        for (auto b = tf_block(f); !b.empty(); b = tf_block(f))
            std::fwrite(b.data(), 1, b.size(), stdout);
        tf_close(f);
    }
    std::fputs("Press any key\n", stdout);
    std::fflush(stdout);
    read_key();
    return console_end(c, open ? 0 : 1);
}
