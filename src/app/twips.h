#pragma once

// Window geometry is designed in twips: 15 twips make one device-independent pixel.
constexpr int twips(int value)
{
    return value / 15;
}
