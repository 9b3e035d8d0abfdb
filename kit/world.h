// The world around the kit as its sensors see it.
#pragma once

namespace koru::kit {

struct World
{
    bool switchPressed = false;
    bool bright = true;
    int temperature = 25; // °C
    int humidity = 50;    // %

    bool operator==(const World &) const = default;
};

} // namespace koru::kit
