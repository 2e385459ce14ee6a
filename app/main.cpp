// Threadwick's entry point. Until start-up is built, it brings up the platform
// modules and exits.
int main(int, char**)
{
    return 0;
}
