#pragma once

#include <cstdint>
#include <string>

// One connection to one terminal: the port chosen in Connect Setup and the identity read when
// the connection was made.
struct ConnectionSettings {
    std::string portName;
    int32_t baudCode = 6;  // 1..6 for 4800..115200
    std::string model;
    std::string serialNumber;
};
