// The numbers vor-cli's options take: ASCII digits only, as a script writes
// them. strtol alone would also take " 5", "+5" and "5\n"; a typo like that
// should be a usage error, not five of something.
#pragma once

// 1 with `*value` set when `text` is a whole decimal number in min..max:
// ASCII digits only, with one leading `-` only when `min` is negative (a
// negative value means something there). 0 for anything else: empty,
// spaces, a `+`, other characters, or out of range.
int CliNumber_Parse(const char *text, long min, long max, long *value);
// The same into an int.
int CliNumber_ParseInt(const char *text, int min, int max, int *value);
