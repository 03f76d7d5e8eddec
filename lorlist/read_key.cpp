// read_key: the raw single-key read, on a POSIX terminal or the Windows console.
#include "read_key.hpp"

#ifdef _WIN32
#include <conio.h>

int read_key() {
    // _getch reads the console directly, raw and without echo; it returns 0 or 0xE0 before
    // the scan code of a key without a character.
    static int pending = -1;
    if (pending >= 0) {
        int k = pending;
        pending = -1;
        return k;
    }
    int c = _getch();
    if (c == 0 || c == 0xE0) {
        pending = _getch();
        return 0;
    }
    return c;
}
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
int pending = -1; // scan code held back for the next call
int tty = -1;     // the controlling terminal, opened on first use
termios saved;    // its mode before the current read
volatile std::sig_atomic_t raw_on = 0;

constexpr int esc_wait_ms = 50; // a lone Esc: no further byte within this time

constexpr int stop_signals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};
struct sigaction old_actions[4];

// Restores the terminal, then ends the process as the signal would have.
extern "C" void on_stop(int sig) {
    if (raw_on)
        tcsetattr(tty, TCSANOW, &saved);
    signal(sig, SIG_DFL);
    raise(sig);
}

bool enter_raw() {
    if (tcgetattr(tty, &saved) != 0)
        return false;
    termios raw = saved;
    raw.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    raw.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    struct sigaction sa {};
    sa.sa_handler = on_stop;
    sigemptyset(&sa.sa_mask);
    for (int i = 0; i < 4; ++i)
        sigaction(stop_signals[i], &sa, &old_actions[i]);
    raw_on = 1;
    if (tcsetattr(tty, TCSANOW, &raw) != 0) {
        raw_on = 0;
        for (int i = 0; i < 4; ++i)
            sigaction(stop_signals[i], &old_actions[i], nullptr);
        return false;
    }
    return true;
}

void leave_raw() {
    tcsetattr(tty, TCSANOW, &saved);
    raw_on = 0;
    for (int i = 0; i < 4; ++i)
        sigaction(stop_signals[i], &old_actions[i], nullptr);
}

// One byte from the terminal: waits up to ms milliseconds (forever for ms < 0); -1 on
// timeout, end of input or error.
int get_byte(int ms) {
    if (ms >= 0) {
        pollfd p{tty, POLLIN, 0};
        int r;
        while ((r = poll(&p, 1, ms)) < 0 && errno == EINTR) {
        }
        if (r <= 0)
            return -1;
    }
    unsigned char b;
    ssize_t k;
    while ((k = read(tty, &b, 1)) < 0 && errno == EINTR) {
    }
    return k == 1 ? b : -1;
}

// Scan code of "ESC [ params ~": the editing block and F1..F12.
int tilde_code(int p) {
    switch (p) {
    case 1:
    case 7: return 71;
    case 4:
    case 8: return 79;
    case 2: return 82;
    case 3: return 83;
    case 5: return 73;
    case 6: return 81;
    case 23: return 133;
    case 24: return 134;
    default: break;
    }
    if (p >= 11 && p <= 15)
        return 59 + (p - 11);
    if (p >= 17 && p <= 21)
        return 64 + (p - 17);
    return 0;
}

// Scan code of a sequence ending in a letter (CSI or SS3, modifiers ignored).
int letter_code(int f) {
    switch (f) {
    case 'A': return 72;
    case 'B': return 80;
    case 'C': return 77;
    case 'D': return 75;
    case 'H': return 71;
    case 'F': return 79;
    case 'P': return 59;
    case 'Q': return 60;
    case 'R': return 61;
    case 'S': return 62;
    default: return 0;
    }
}

// The rest of an escape sequence after ESC and its introducer ('[' or 'O'), consumed whole;
// returns the key's scan code, 0 when the key is not one we know.
int sequence_code(int intro) {
    int c = get_byte(esc_wait_ms);
    if (intro == '[' && c == '[') {
        // The Linux console's F1..F5: ESC [ [ A..E.
        c = get_byte(esc_wait_ms);
        return c >= 'A' && c <= 'E' ? 59 + (c - 'A') : 0;
    }
    int first = 0;
    bool in_first = true;
    for (; c >= 0x30 && c <= 0x3F; c = get_byte(esc_wait_ms)) {
        if (c >= '0' && c <= '9' && in_first && first < 1000)
            first = first * 10 + (c - '0');
        else
            in_first = false;
    }
    while (c >= 0x20 && c <= 0x2F)
        c = get_byte(esc_wait_ms);
    if (c == '~')
        return intro == '[' ? tilde_code(first) : 0;
    return c >= 0x40 && c <= 0x7E ? letter_code(c) : 0;
}

int read_raw() {
    int c = get_byte(-1);
    if (c != 27)
        return c;
    int c1 = get_byte(esc_wait_ms);
    if (c1 < 0)
        return 27;
    pending = c1 == '[' || c1 == 'O' ? sequence_code(c1) : 0;
    return 0;
}
} // namespace

int read_key() {
    if (pending >= 0) {
        int k = pending;
        pending = -1;
        return k;
    }
    if (tty < 0) {
        tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (tty < 0)
            return -1;
        if (!isatty(tty)) {
            close(tty);
            tty = -1;
            return -1;
        }
    }
    if (!enter_raw())
        return -1;
    int k = read_raw();
    leave_raw();
    return k;
}
#endif
