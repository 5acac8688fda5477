// Preloaded into Wine by the Windows clock test: the wall clock (CLOCK_REALTIME and its
// coarse form) stands at the instant that the file STRCRYPT_FROZEN_CLOCK names holds, as
// "YYYY-MM-DD hh:mm:ss" in UTC; with no such file, or another text in it, the clock runs.
// Built by the host's clang for Wine's own architecture, without a C library's headers:
// 32-bit Wine reads the clock with __clock_gettime64, which libfaketime does not catch.

extern "C" {
struct clock_time {
    long long seconds;
    long nanoseconds;
};
void* dlsym(void* handle, const char* name);
char* getenv(const char* name);
int open(const char* path, int flags, ...);
long read(int file, void* buffer, unsigned long size);
int close(int file);
}

namespace {

#if defined(__i386__)
constexpr const char* clock_name = "__clock_gettime64";
#define STRCRYPT_CLOCK_GETTIME __clock_gettime64
#else
constexpr const char* clock_name = "clock_gettime";
#define STRCRYPT_CLOCK_GETTIME clock_gettime
#endif
constexpr int realtime = 0;         // CLOCK_REALTIME
constexpr int realtime_coarse = 5;  // CLOCK_REALTIME_COARSE
constexpr long long seconds_per_day = 86'400;

// The number of `count` decimal digits at `text`, or -1.
long long number(const char* text, int count) {
    long long value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Days from 1970-01-01 to a date of the Gregorian calendar (year 1 onwards).
long long days_since_1970(long long year, long long month, long long day) {
    if (month <= 2) --year;
    const long long era = year / 400;
    const long long year_of_era = year - era * 400;
    const long long day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146'097 + day_of_era - 719'468;
}

// The frozen instant in seconds since 1970 into `seconds`, if the file holds one.
bool frozen(long long* seconds) {
    const char* const file = getenv("STRCRYPT_FROZEN_CLOCK");
    char text[19];
    const int handle = file != nullptr ? open(file, 0) : -1;
    if (handle < 0) return false;
    const long got = read(handle, text, sizeof text);
    close(handle);
    if (got != sizeof text || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return false;
    const long long fields[] = {number(text, 4),      number(text + 5, 2),  number(text + 8, 2),
                                number(text + 11, 2), number(text + 14, 2), number(text + 17, 2)};
    for (const long long field : fields)
        if (field < 0) return false;
    *seconds = days_since_1970(fields[0], fields[1], fields[2]) * seconds_per_day +
               fields[3] * 3'600 + fields[4] * 60 + fields[5];
    return true;
}

}  // namespace

extern "C" int STRCRYPT_CLOCK_GETTIME(int clock, clock_time* time) {
    using ClockGettime = int (*)(int, clock_time*);
    static ClockGettime system_clock = nullptr;
    long long seconds = 0;
    if ((clock == realtime || clock == realtime_coarse) && frozen(&seconds)) {
        time->seconds = seconds;
        time->nanoseconds = 0;
        return 0;
    }
    if (system_clock == nullptr) {
        void* const next = reinterpret_cast<void*>(-1L);  // RTLD_NEXT
        system_clock = reinterpret_cast<ClockGettime>(dlsym(next, clock_name));
    }
    return system_clock(clock, time);
}
