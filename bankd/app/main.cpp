#include "Commands.h"

int main(int argc, char** argv)
{
    return bankd::cli::run(argc, argv);
}
