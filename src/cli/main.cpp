#include "cli/zpakbuild.h"

#include <iostream>

int main(int argc, char** argv)
{
    return zpak::RunZpakbuild(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                              std::cerr);
}
