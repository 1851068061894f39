#include "app/application.h"

int main(int argc, char** argv)
{
    return scrivane::runScrivane(argc, argv);
}
