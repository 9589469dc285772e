// The demo installation's shutdown helpers ("Voldrun.exe", "ktSleep.exe", ...):
// their presence lets the shutdown-sequence editor offer their commands; run,
// they only say what they would have done.
#include <cstdio>

int _dowildcard = 0;

int main(int argc, char** argv)
{
    std::printf("%s: demo stand-in of a shutdown helper; did nothing. Arguments:", argv[0]);
    for (int i = 1; i < argc; ++i) std::printf(" %s", argv[i]);
    std::printf("\n");
    return 0;
}
