// lorlist: counts the lines of loren.out and, unless the answer is the key 0, lists it.
#include "numlib.hpp"
#include "read_key.hpp"

#include <cstdio>

int main() {
    console_start();
    static TextFile f;
    bool open = tf_open(f, table_name);
    long long n = open ? count_lines(f) : -1;
    if (n < 0) {
        open = false;
        std::fputs(msg_cannot_open, stdout);
    } else {
        std::printf("nlines = %lld \n", n);
    }
    std::fputs("Press any key\n", stdout);
    std::fflush(stdout);
    int key = read_key();
    std::printf("ans %c %d \n", key, key);
    if (key == 48)
        return console_end(open ? 0 : 1);
    if (open) {
        // The listing is the bytes the reader delivers: CRs dropped, up to a byte 26.
        while (tf_more(f)) {
            std::fwrite(f.buf + f.beg, 1, f.end - f.beg, stdout);
            f.beg = f.end;
        }
        tf_close(f);
    }
    std::fputs("Press any key\n", stdout);
    std::fflush(stdout);
    read_key();
    return console_end(open ? 0 : 1);
}
