// The one-line count a long command keeps on stderr while stderr is a
// terminal ("vor-cli: 1200/7969 images checked"), redrawn in place at most
// a few times a second and wiped when the command ends; nothing at all when
// stderr is redirected, so logs and pipes see only the real messages.
#pragma once

#include <string>

struct CliProgress {
    bool shown;          // stderr is a terminal: the line is drawn
    const char *label;   // what is counted, e.g. "images checked"
    double lastDrawMs;   // when the line was last drawn
    size_t width;        // characters of the line drawn last, to wipe it
};

void CliProgress_Begin(CliProgress *p, const char *label);
// `done` of `total` (total 0: unknown). Its signature fits the progress
// callbacks of the lint and the contact sheet; `user` is the CliProgress.
void CliProgress_Step(void *user, int done, int total);
// Wipes the line (before a record is printed, and at the end).
void CliProgress_Clear(CliProgress *p);
void CliProgress_End(CliProgress *p);
