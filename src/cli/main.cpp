// code39: encodes data for the bar-code typeface from the command line.
#include "Cli.h"
#include "Labels.h"
#include "Render.h"

int main(int argc, char** argv)
{
    if (cli::WantsLabels(argc, argv))
        return cli::RunLabels(argc, argv);
    // Only a picture file needs Qt's graphics; plain encoding never starts it.
    if (cli::WantsImage(argc, argv))
        return cli::RunImage(argc, argv);
    return cli::RunCli(argc, argv, stdin, stdout, stderr);
}
