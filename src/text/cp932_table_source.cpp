// Writes the code page 932 tables of this build's C library as C++ source, for the browser
// edition, whose C library has no CP932 converter.
#include <fstream>
#include <iostream>

#include "text/cp932.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kivo_cp932_table_source OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << kivo::cp932::detail::tableSource();
    return out.flush() ? 0 : 1;
}
