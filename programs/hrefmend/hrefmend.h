// hrefmend's run: the page named on the command line read, its broken
// relative links matched against the index database found above it, and the
// page rewritten in one step when any link could be repaired.
#pragma once

// Runs hrefmend for its arguments; returns the exit code.
int RunLinkFixer(int argc, char** argv);
