/* The Windows SDK's time.h has struct timespec, which the C++ library names; Wine's
   leaves it out. */
#pragma once
#include_next <time.h>

struct timespec {
    time_t tv_sec;
    long tv_nsec;
};
