// code39: encodes data for the bar-code typeface from the command line, or draws it into files.
#include "Command.h"

int main(int argc, char** argv)
{
    return cli::RunCommand(argc, argv, {stdin, stdout, stderr});
}
