// Numeric option values (see cli_numbers.h).
#include "cli_numbers.h"

// More digits than any option's range needs; 18 cannot overflow 64 bits.
static const int MAX_DIGITS = 18;

int CliNumber_Parse(const char *text, long min, long max, long *value)
{
    if (!text)
        return 0;
    bool negative = text[0] == '-' && min < 0;
    const char *p = text + (negative ? 1 : 0);
    if (!*p)
        return 0;
    long long v = 0;
    for (int digits = 0; *p; p++) {
        if (*p < '0' || *p > '9' || ++digits > MAX_DIGITS)
            return 0;
        v = v * 10 + (*p - '0');
    }
    if (negative)
        v = -v;
    if (v < min || v > max)
        return 0;
    *value = (long)v;
    return 1;
}

int CliNumber_ParseInt(const char *text, int min, int max, int *value)
{
    long v;
    if (!CliNumber_Parse(text, min, max, &v))
        return 0;
    *value = (int)v;
    return 1;
}
