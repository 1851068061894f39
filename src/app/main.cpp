#include "app/application.h"
#include "platform/process_setup.h"

int main(int argc, char** argv)
{
    scrivane::setUpProcess();
    return scrivane::runScrivane(argc, argv);
}
