#pragma once

#include <array>
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

// The serial rates of baud codes 1..6, as a command line names them.
inline constexpr std::array<const char*, 6> kBaudRates{"4800", "9600", "19200", "38400", "57600", "115200"};
