// brevlund: scores contest logs with the plug-in's own engine and checks area
// lists. The commands live in Commands.cpp.
#include "Commands.h"

#include <iostream>

int main(int Argc, char** Argv) {
    const std::vector<std::string> Args(Argv + (Argc > 0 ? 1 : 0), Argv + Argc);
    const int Code = brevlund::cli::Main(Args, std::cout, std::cerr);
    std::cout.flush();
    return Code;
}
