// The progress line of vor-cli (see cli_progress.h). `\r` and spaces, not
// terminal escapes, so a Windows console without VT mode shows it too.
#include "cli_progress.h"

#include <chrono>
#include <cstdio>

#include "cli_output.h"

// Often enough to look alive, rarely enough to cost nothing.
static const double REDRAW_MS = 100;

static double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void CliProgress_Begin(CliProgress *p, const char *label)
{
    p->shown = CliText_IsTerminal(stderr) != 0;
    p->label = label;
    p->lastDrawMs = 0;
    p->width = 0;
}

void CliProgress_Step(void *user, int done, int total)
{
    CliProgress *p = (CliProgress *)user;
    double now = NowMs();
    if (!p->shown || (now - p->lastDrawMs < REDRAW_MS && done != total))
        return;
    p->lastDrawMs = now;
    char line[128];
    int n = total > 0 ? snprintf(line, sizeof line, "vor-cli: %d/%d %s", done, total, p->label)
                      : snprintf(line, sizeof line, "vor-cli: %d %s", done, p->label);
    std::string text = "\r" + std::string(line);
    if ((size_t)n < p->width)
        text += std::string(p->width - (size_t)n, ' ');
    p->width = (size_t)n;
    fputs(text.c_str(), stderr);
    fflush(stderr);
}

void CliProgress_Clear(CliProgress *p)
{
    if (!p->shown || p->width == 0)
        return;
    fputs(("\r" + std::string(p->width, ' ') + "\r").c_str(), stderr);
    fflush(stderr);
    p->width = 0;
}

void CliProgress_End(CliProgress *p)
{
    CliProgress_Clear(p);
}
