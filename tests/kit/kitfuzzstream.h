// Throws one stream of bytes at the kit's firmware: values from the PC,
// passing time, sensor changes and stops, as the bytes choose. Aborts when
// the kit breaks a promise (an area changed by the other area's frame or by
// a stray value, an effect value out of range). Shared by the libFuzzer
// target and the deterministic random-stream test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace koru::kit::test {

void FuzzKitStream(const std::uint8_t *data, std::size_t size);

} // namespace koru::kit::test
