// code39: encodes data for the bar-code typeface from the command line.
#include "Cli.h"

int main(int argc, char** argv)
{
    return cli::RunCli(argc, argv, stdin, stdout, stderr);
}
