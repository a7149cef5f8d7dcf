#include <cstdio>

int main(int argc, char** argv) {
  std::fprintf(stderr, "usage: corvida --report [--sort none|asc|desc] FILE...\n");
  return 2;
}
