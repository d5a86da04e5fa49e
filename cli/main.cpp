#include <iostream>

#include "cli/App.h"

int main(int argc, char** argv) {
    return qff::cli::run(argc, argv, std::cout, std::cerr);
}
