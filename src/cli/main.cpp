// SPDX-License-Identifier: MIT
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::puts("usage: plover-cli COMMAND [OPTIONS]");
  return 0;
}
