// localweb: a small HTTP/1.0 server for browsing the site and running its
// CGI programs on this machine.
#include "platform/version.h"
#include "programs/localweb/server.h"

WEFT_PROGRAM_VERSION("LOCALWEB", "Simple CGI Web Server", "1.05", nullptr);

int main(int argc, char** argv) { return RunWebServer(argc, argv); }
