#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Tables take their collation from the environment when they are made;
    // measure with the one the program is used with.
    setenv("LC_ALL", "hu_HU.UTF-8", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
