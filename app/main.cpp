// Threadwick's entry point.

#include "app/main/ProgramMain.h"

int main(int argc, char** argv)
{
    StartPlatform(argc, argv);
    return RunDesignerApp();
}
