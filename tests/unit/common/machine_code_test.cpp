#include "common/machine_code.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q3 {
namespace {

NetworkInterface Nic(int index, std::vector<std::uint8_t> address, bool loopback = false) {
    return NetworkInterface{index, "if" + std::to_string(index), std::move(address), loopback};
}

class MachineCodeTest : public ::testing::Test {
  protected:
    void TearDown() override { SetInterfaceSource({}); }

    void Use(std::vector<NetworkInterface> list) {
        SetInterfaceSource([list] { return list; });
    }
};

TEST_F(MachineCodeTest, TwoAdaptersGiveTwentyFourDigitsInIndexOrder) {
    Use({Nic(3, {0x0A, 0x1b, 0x2C, 0x3d, 0x4E, 0x5f}),
         Nic(2, {0x00, 0x16, 0x3E, 0x01, 0x02, 0x03})});
    const std::string code = MachineCode();
    EXPECT_EQ(code.size(), 24u);
    EXPECT_EQ(code,
              "00163E010203"
              "0A1B2C3D4E5F");
}

TEST_F(MachineCodeTest, NoAdapterGivesMacNotFound) {
    Use({});
    EXPECT_EQ(MachineCode(), "mac not found");
}

TEST_F(MachineCodeTest, LoopbackAndAllZeroAddressesAreLeftOut) {
    Use({Nic(1, {0, 0, 0, 0, 0, 0}, true),  // lo
         Nic(2, {0, 0, 0, 0, 0, 0}),        // an interface without an address
         Nic(4, {0x52, 0x54, 0x00, 0xAB, 0xCD, 0xEF})});
    EXPECT_EQ(MachineCode(), "525400ABCDEF");
}

TEST_F(MachineCodeTest, LoopbackIsLeftOutEvenWithAnAddress) {
    Use({Nic(1, {1, 2, 3, 4, 5, 6}, true)});
    EXPECT_EQ(MachineCode(), "mac not found");
}

TEST_F(MachineCodeTest, AddressesThatAreNotSixBytesAreLeftOut) {
    Use({Nic(5, {}),                                   // a tunnel
         Nic(6, std::vector<std::uint8_t>(20, 0x11)),  // InfiniBand
         Nic(7, {0x02, 0x42, 0xAC, 0x11, 0x00, 0x02})});
    EXPECT_EQ(MachineCode(), "0242AC110002");
}

TEST_F(MachineCodeTest, AdapterAddressByAdapterNumber) {
    Use({Nic(9, {0xFF, 0xEE, 0xDD, 0xCC, 0xBB, 0xAA}), Nic(2, {1, 2, 3, 4, 5, 6})});
    EXPECT_EQ(AdapterAddress(0), "010203040506");
    EXPECT_EQ(AdapterAddress(1), "FFEEDDCCBBAA");
    EXPECT_EQ(AdapterAddress(2), "mac not found");
    EXPECT_EQ(AdapterAddress(255), "mac not found");
}

TEST_F(MachineCodeTest, AtMost255Adapters) {
    std::vector<NetworkInterface> many;
    for (int i = 1; i <= 300; ++i) {
        many.push_back(Nic(i, {0x02, 0, 0, 0, static_cast<std::uint8_t>(i >> 8),
                               static_cast<std::uint8_t>(i & 0xFF)}));
    }
    Use(many);
    EXPECT_EQ(MachineCode().size(), 255u * 12);
}

TEST_F(MachineCodeTest, SystemListGivesDigitsOrMacNotFound) {
    // Whatever this machine has, the code is made of whole addresses.
    const std::string code = MachineCode();
    if (code == "mac not found")
        return;
    EXPECT_EQ(code.size() % 12, 0u);
    EXPECT_EQ(code.find_first_not_of("0123456789ABCDEF"), std::string::npos) << code;
}

TEST_F(MachineCodeTest, SystemListHasNoLoopbackAdapter) {
    for (const NetworkInterface& nic : AdapterList(SystemNetworkInterfaces())) {
        EXPECT_FALSE(nic.loopback) << nic.name;
        EXPECT_NE(nic.name, "lo");
    }
}

}  // namespace
}  // namespace q3
