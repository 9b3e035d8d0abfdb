// The main() of a folder's group program: runs the test named first.
#include "testmain.h"

int main(int argc, char *argv[])
{
    return koru::test::RunGroupedTest(argc, argv);
}
