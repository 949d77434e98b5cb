// For tests of the configuration reader: what it keeps between lines.
#pragma once

// The chained file name that the last "configfile" line set ("" when none).
const char* ConfigFileName();
