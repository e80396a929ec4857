// drollbox-db: builds, checks and reads the viewer's cookie database, and
// runs its codec on raw streams.
#include <cstdio>
#include <new>

#include "tools/commands.h"

int main(int argc, char** argv) {
  try {
    return tools::run_tool(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("drollbox-db: not enough memory; nothing written\n", stderr);
    return tools::exit_failure;
  }
}
