// rankpage: numbers the pages of a sorted list of file names.
#include <cstring>

#include "platform/version.h"
#include "programs/rankpage/sort_list.h"

WEFT_PROGRAM_VERSION("RANKPAGE", "Automatic HTML File Sort Order Setter", "1.02", nullptr);

int main(int argc, char** argv) {
  if (argc < 2 || strcmp(argv[1], "/?") == 0) {
    PrintRankpageHelp();
    return 0;
  }
  return AssignSortOrders(argv[1]);
}
