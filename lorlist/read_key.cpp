// read_key: the raw single-key read, on a POSIX terminal or the Windows console.
#include "read_key.hpp"

#ifdef _WIN32
#include <windows.h>

namespace {
int held_scan = -1; // scan code to return next, after a 0
long more = 0;      // further deliveries of the last press (its repeat count less one)
int more_char = -1; // what they deliver: that character, or (for -1) 0 and then more_scan
int more_scan = 0;

bool lone_modifier(WORD vk) {
    return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_LSHIFT ||
           vk == VK_RSHIFT || vk == VK_LCONTROL || vk == VK_RCONTROL || vk == VK_LMENU ||
           vk == VK_RMENU;
}

// Waits for one key press on the open console input h (in mode 0) and returns its first
// value, setting up the rest; -1 when the console cannot be read.
int take_press(HANDLE h) {
    for (;;) {
        INPUT_RECORD r;
        DWORD got = 0;
        if (!ReadConsoleInputA(h, &r, 1, &got) || got != 1)
            return -1;
        if (r.EventType != KEY_EVENT || !r.Event.KeyEvent.bKeyDown ||
            lone_modifier(r.Event.KeyEvent.wVirtualKeyCode))
            continue;
        const KEY_EVENT_RECORD& k = r.Event.KeyEvent;
        auto ch = static_cast<unsigned char>(k.uChar.AsciiChar);
        more = k.wRepeatCount > 1 ? k.wRepeatCount - 1 : 0;
        if (ch != 0 && (k.dwControlKeyState & ENHANCED_KEY) == 0) {
            more_char = ch;
            return ch;
        }
        // No character, or a key of the enhanced block: 0, then its scan code.
        more_char = -1;
        more_scan = k.wVirtualScanCode;
        held_scan = more_scan;
        return 0;
    }
}
} // namespace

int read_key() {
    if (held_scan >= 0) {
        int s = held_scan;
        held_scan = -1;
        return s;
    }
    if (more > 0) {
        --more;
        if (more_char >= 0)
            return more_char;
        held_scan = more_scan;
        return 0;
    }
    // The console itself, not standard input: a redirected standard input does not feed it.
    HANDLE h = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    DWORD saved = 0;
    if (!GetConsoleMode(h, &saved)) {
        CloseHandle(h);
        return -1;
    }
    // Mode 0: no line input, no echo, no processed input (Ctrl+C is the key 3).
    int key = SetConsoleMode(h, 0) ? take_press(h) : -1;
    SetConsoleMode(h, saved);
    CloseHandle(h);
    return key;
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
