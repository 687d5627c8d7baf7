// code39: encodes data for the bar-code typeface from the command line.
#include "Cli.h"
#include "Labels.h"
#include "Render.h"

int main(int argc, char** argv)
{
    if (cli::WantsLabels(argc, argv))
        return cli::RunLabels(argc, argv);
    // Only an image needs Qt's graphics; plain encoding never starts it.
    if (cli::WantsPng(argc, argv))
        return cli::RunPng(argc, argv);
    return cli::RunCli(argc, argv, stdin, stdout, stderr);
}
