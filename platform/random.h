// The random source: the C runtime's pseudo-random sequence. A program
// seeds it (from the clock) before it draws; a test seeds it, or fixes the
// clock, to get the same sequence on every run.
#pragma once

// Starts the sequence anew from `seed`.
void SeedRandom(unsigned seed);

// The next number of the sequence, from 0 to the runtime's RAND_MAX.
int Random();
