#include "platform/SerialPorts.h"

#include <gtest/gtest.h>

namespace {

struct NamingCase {
    const char* what;
    QStringList devices;
    QStringList comOrder;
};

void PrintTo(const NamingCase& value, std::ostream* out) { *out << value.what; }

class SerialPortsComNaming : public ::testing::TestWithParam<NamingCase> {};

TEST_P(SerialPortsComNaming, OrdersDevicesAndNumbersThemFromCom1) {
    EXPECT_EQ(SerialDevicesInComOrder(GetParam().devices), GetParam().comOrder);

    QStringList expected;
    for (qsizetype i = 0; i < GetParam().comOrder.size(); ++i)
        expected << QStringLiteral("COM%1").arg(i + 1);
    EXPECT_EQ(ComPortNames(GetParam().devices), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, SerialPortsComNaming,
    ::testing::Values(
        NamingCase{"none", {}, {}},
        NamingCase{"families in order",
                   {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyS0"},
                   {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyACM0"}},
        NamingCase{"numeric within a family",
                   {"/dev/ttyUSB10", "/dev/ttyS9", "/dev/ttyUSB2", "/dev/ttyS10", "/dev/ttyS1"},
                   {"/dev/ttyS1", "/dev/ttyS9", "/dev/ttyS10", "/dev/ttyUSB2", "/dev/ttyUSB10"}},
        NamingCase{"others ignored",
                   {"/dev/ttyAMA0", "/dev/rfcomm0", "/dev/ttyS", "/dev/ttyUSBx", "/dev/pts/1",
                    "/tmp/ttyS0", "/dev/ttySAC0", "/dev/ttyS3", "/dev/ttyACM1x"},
                   {"/dev/ttyS3"}},
        NamingCase{"repeated path once", {"/dev/ttyUSB0", "/dev/ttyUSB0"}, {"/dev/ttyUSB0"}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST(SerialPortsTest, PcPortsAreNamedFromTheInstalledDevices) {
    InstallSerialDevices(QStringList{"/dev/ttyACM0", "/dev/ttyS4", "/dev/ttyprintk"});
    EXPECT_EQ(PcSerialPortNames(), (QStringList{"COM1", "COM2"}));
    InstallSerialDevices(QStringList());
    EXPECT_TRUE(PcSerialPortNames().isEmpty());
    InstallSerialDevices(std::nullopt);
}

}  // namespace
