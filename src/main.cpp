// Entry point of orbelline. Command-line modes are handled first; without
// one, the program opens its window.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0)) {
        std::puts("usage: orbelline [--help]");
        return 0;
    }
    std::puts("Orbelline: nothing to show yet.");
    return 0;
}
