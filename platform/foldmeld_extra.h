// The Windows error code of the last failed file call, for messages that
// show the number.
#pragma once

// The Windows code behind LastErrorText() (2 file not found, 5 access
// denied, ...); 0 when no failure is recorded, 31 for one without a code.
long LastErrorCode();
