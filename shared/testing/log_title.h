// For tests of the log: a title for the run header in place of the program
// file's name, which is the title every program's log gets.
#pragma once

// The title of the log's run header (cut to 32 characters; null leaves it
// unchanged). Only a call before the first message has an effect.
void SetLogTitle(const char* text);
