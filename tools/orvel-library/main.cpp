// orvel-library: the radio library of the program directory from the command line.

#include <iostream>
#include <string>
#include <vector>

#include "tools/orvel-library/LibraryCommands.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return orvel::LibraryCommands::run(args, std::cout, std::cerr);
}
