// libFuzzer entry: random report streams into the kit's firmware.
#include "kitfuzzstream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    koru::kit::test::FuzzKitStream(data, size);
    return 0;
}
