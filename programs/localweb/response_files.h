// The files that hold CGI programs' output until it is sent: each is named
// after the server's process ("CGI<process>-XXXX.tmp"), so that a later start
// recognises the files of a server that was killed and removes them, and
// never touches those of a server that still runs.
#pragma once

#include <string>

// The prefix of this server's response files: "CGI", its process number, '-'.
std::string ResponseFilePrefix();
// The process a response file's name belongs to; 0 when the name is not one.
int ResponseFileOwner(const char* name);
// Removes from `folder` the response files of servers that no longer run;
// returns how many went.
int RemoveLeftResponseFiles(const std::string& folder);
