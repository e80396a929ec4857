// drollbox-db: builds, checks and reads the viewer's cookie database, and
// runs its codec on raw streams.
#include "tools/commands.h"

int main(int argc, char** argv) {
  return tools::run_tool(argc, argv);
}
