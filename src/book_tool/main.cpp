// Entry point of tintaroo-book; see book_tool.h.
#include "book_tool/book_tool.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunBookTool(args, std::cout, std::cerr);
}
