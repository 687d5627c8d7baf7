// code39: encodes data for the bar-code typeface from the command line.
#include "code39/Code39.h"

#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::u16string data(arg.begin(), arg.end());
        const code39::BuildResult r = code39::BuildBarCodeData(data, false, false);
        std::cout << (r.ok() ? code39::BarTextOut(r.data) : std::string()) << '\n';
        if (!r.ok())
            status = 1;
    }
    return status;
}
