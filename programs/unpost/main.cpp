// unpost: saves the attachments of saved mail and news messages.
#include "platform/version.h"
#include "programs/unpost/unpost.h"

WEFT_PROGRAM_VERSION("UNPOST", "Mail Message Decoder", "1.10", nullptr);

int main() { return DecodeMessages(); }
