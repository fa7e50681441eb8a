// The stack walk: call-site recognition on byte patterns, the image header checks, and traces of
// a known call chain and of a stack of chosen words.
#include "crash/exception.h"
#include "crash/module_map.h"
#include "shell/text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Two pages of "code": the first readable, the second not. The module map covers both.
class CodePages : public testing::Test {
  protected:
    void SetUp() override {
        Base = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, 0x2000, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        ASSERT_NE(Base, nullptr);
        std::memset(Base, 0x90, 0x1000);
        DWORD old;
        ASSERT_TRUE(VirtualProtect(Base + 0x1000, 0x1000, PAGE_NOACCESS, &old));
        SavedEntry = ModuleTable[0];
        SavedLastIndex = LastModuleIndex;
        UseRange(Address(0), Address(0x2000));
    }
    void TearDown() override {
        ModuleTable[0] = SavedEntry;
        LastModuleIndex = SavedLastIndex;
        VirtualFree(Base, 0, MEM_RELEASE);
    }
    void UseRange(uint32_t start, uint32_t end) {
        ModuleTable[0] = {start, end, "test"};
        LastModuleIndex = 0;
    }
    uint32_t Address(uint32_t offset) const { return reinterpret_cast<uint32_t>(Base) + offset; }

    uint8_t* Base = nullptr;
    TModuleInfo SavedEntry;
    int32_t SavedLastIndex = -1;
};

struct TPattern {
    const char* Name;
    uint8_t Bytes[8]; // the 8 bytes in front of the candidate, lowest address first
    bool IsCall;
    uint32_t Length;
};

void PrintTo(const TPattern& p, std::ostream* out) {
    *out << p.Name;
}

class CallPatterns : public CodePages, public testing::WithParamInterface<TPattern> {};

TEST_P(CallPatterns, RecogniseTheCallInFrontOfTheReturnAddress) {
    const TPattern& p = GetParam();
    std::memcpy(Base + 0x100 - 8, p.Bytes, 8);
    uint32_t length = 0;
    EXPECT_EQ(IsCallSite(Address(0x100), length), p.IsCall);
    if (p.IsCall) {
        EXPECT_EQ(length, p.Length);
    }
}

// Byte k of the name b(k) is the byte k in front of the candidate: Bytes[8 - k].
INSTANTIATE_TEST_SUITE_P(
    Forms, CallPatterns,
    testing::Values(
        TPattern{"DirectE8", {0x90, 0x90, 0x90, 0xE8, 0x10, 0x20, 0x30, 0x40}, true, 5},
        TPattern{"FF_Register", {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0xD0}, true, 2},
        TPattern{"FF_Disp8", {0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0x55, 0x08}, true, 3},
        TPattern{"FF_SibDisp8", {0x90, 0x90, 0x90, 0x90, 0xFF, 0x54, 0x24, 0x04}, true, 4},
        TPattern{"FF_Disp32", {0x90, 0x90, 0xFF, 0x15, 0x00, 0x10, 0x40, 0x00}, true, 6},
        TPattern{"FF_SibDisp32", {0x90, 0xFF, 0x94, 0x24, 0x00, 0x01, 0x00, 0x00}, true, 7},
        // Only the reg field counts: mod 00 and r/m 111 with a 2-byte call.
        TPattern{"FF_ModRmIgnored", {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0x17}, true, 2},
        // E8 at distance 5 wins over an FF /2 at distance 2.
        TPattern{"E8BeforeFF", {0x90, 0x90, 0x90, 0xE8, 0x90, 0x90, 0xFF, 0xD0}, true, 5},
        // The shorter FF form is tested first.
        TPattern{"FF2BeforeFF6", {0x90, 0x90, 0xFF, 0x15, 0x90, 0x90, 0xFF, 0xD0}, true, 2},
        TPattern{"FF_JumpIsNoCall", {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0xFF, 0xE0}, false, 0},
        TPattern{"FF_Push6IsNoCall", {0x90, 0x90, 0xFF, 0x35, 0x00, 0x10, 0x40, 0x00}, false, 0},
        TPattern{"E8AtWrongDistance", {0x90, 0x90, 0xE8, 0x90, 0x90, 0x90, 0x90, 0x90}, false, 0},
        TPattern{"Nothing", {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90}, false, 0}));

TEST_F(CodePages, OnlyCandidatesWhoseBytesLieInTheCodeRange) {
    std::memcpy(Base + 0x100 - 5, "\xE8\0\0\0\0", 5);
    std::memcpy(Base + 0x200 - 5, "\xE8\0\0\0\0", 5);
    UseRange(Address(0x100 - 8), Address(0x200 - 8));
    uint32_t length = 0;
    EXPECT_TRUE(IsCallSite(Address(0x100), length));      // bytes start at CodeStart
    EXPECT_FALSE(IsCallSite(Address(0x100 - 1), length)); // one byte before CodeStart
    EXPECT_FALSE(IsCallSite(Address(0x200), length));     // bytes start at CodeEnd
    LastModuleIndex = -1;
    EXPECT_FALSE(IsCallSite(Address(0x100), length)); // no map, no code
}

TEST_F(CodePages, SmallValuesAreNeverCallSites) {
    UseRange(0, 0xFFFFFFFF);
    uint32_t length = 0;
    for (uint32_t value : {0u, 1u, 5u, 8u})
        EXPECT_FALSE(IsCallSite(value, length)) << value;
}

TEST_F(CodePages, UnreadableBytesAreNoCallSite) {
    // E8 in the last readable byte; the 8 bytes reach into the unreadable page.
    Base[0xFFF] = 0xE8;
    uint32_t length = 0;
    EXPECT_FALSE(IsCallSite(Address(0x1004), length));
    EXPECT_FALSE(IsCallSite(Address(0x1100), length));
}

TEST_F(CodePages, RepeatedReturnAddressIsListedOnceUntilAnotherLiesBetween) {
    std::memcpy(Base + 0x300, "\xE8\0\0\0\0", 5);
    std::memcpy(Base + 0x400, "\xFF\xD0", 2);
    const uint32_t first = Address(0x305), second = Address(0x402);
    // A stack of chosen words at the bottom of the scan; 0 and 4 are not call sites.
    volatile uint32_t words[] = {first, first, 0, first, 4, second, second, first};
    const std::string trace = BuildStackTrace(reinterpret_cast<uint32_t>(&words[0]));
    const std::string expected = Hex8(Address(0x300)) + "\r\n" + Hex8(Address(0x400)) + "\r\n" +
                                 Hex8(Address(0x300)) + "\r\n";
    EXPECT_EQ(trace.substr(0, expected.size()), expected);
}

TEST(StackTrace, StartAtOrAboveTheTopIsEmpty) {
    BuildStackTrace(0);
    EXPECT_EQ(BuildStackTrace(StackTop), "");
    EXPECT_EQ(BuildStackTrace(StackTop + 0x100), "");
}

TEST(StackTrace, UnreadableStackFailsTheWholeTrace) {
    // Below the committed part of the stack nothing can be read.
    EXPECT_THROW(BuildStackTrace(0x00001000), Exception);
}

// A known call chain: each function notes the call instruction that called it.
uint32_t ChainSites[3];
std::string ChainTrace;

__attribute__((noinline)) void Innermost() {
    ChainSites[0] = reinterpret_cast<uint32_t>(__builtin_return_address(0)) - 5;
    ChainTrace = BuildStackTrace(0);
    asm volatile("" ::: "memory");
}
__attribute__((noinline)) void Middle() {
    ChainSites[1] = reinterpret_cast<uint32_t>(__builtin_return_address(0)) - 5;
    Innermost();
    asm volatile("" ::: "memory");
}
__attribute__((noinline)) void Outer() {
    ChainSites[2] = reinterpret_cast<uint32_t>(__builtin_return_address(0)) - 5;
    Middle();
    asm volatile("" ::: "memory");
}

TEST(StackTrace, ListsTheCallSitesOfTheChainInOrder) {
    LastModuleIndex = -1; // the executable's own map
    Outer();
    size_t previous = 0;
    for (uint32_t site : ChainSites) {
        const size_t at = ChainTrace.find(Hex8(site) + "\r\n", previous);
        ASSERT_NE(at, std::string::npos) << Hex8(site) << " in\n" << ChainTrace;
        previous = at;
    }
    EXPECT_EQ(ModuleTable[0].Name, "mainexe");
}

class ImageHeaders : public testing::Test {
  protected:
    void SetUp() override {
        Image.assign(0x200, 0);
        Image[0] = 'M';
        Image[1] = 'Z';
        const uint32_t lfanew = 0x80;
        std::memcpy(&Image[0x3C], &lfanew, 4);
        std::memcpy(&Image[0x80], "PE\0\0", 4);
    }
    uint32_t Base() const { return reinterpret_cast<uint32_t>(Image.data()); }
    std::string Failure() const {
        try {
            ValidateImageHeaders(Base());
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }
    std::vector<uint8_t> Image;
};

TEST_F(ImageHeaders, ValidImageGivesThePeHeaders) {
    EXPECT_EQ(ValidateImageHeaders(Base()), Base() + 0x80);
}

TEST_F(ImageHeaders, WithoutMzSignature) {
    Image[1] = 'X';
    EXPECT_EQ(Failure(), "Not a valid MZ-file!");
}

TEST_F(ImageHeaders, WithoutPeSignature) {
    Image[0x82] = 1; // "PE" must be followed by two zero bytes
    EXPECT_EQ(Failure(), "Not a valid PE-file!");
}

TEST(ModuleMap, CoversThisExecutablesCode) {
    BuildModuleTable();
    ASSERT_EQ(LastModuleIndex, 0);
    EXPECT_TRUE(IsInModuleCode(reinterpret_cast<uint32_t>(&Outer)));
    EXPECT_FALSE(IsInModuleCode(reinterpret_cast<uint32_t>(&ChainSites)));
    EXPECT_FALSE(IsInModuleCode(ModuleTable[0].CodeEnd));
}

} // namespace
