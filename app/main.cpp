#include "app/window_cycles.h"

int main(int argc, char** argv) {
  return app::run_window_cycles(argc, argv);
}
