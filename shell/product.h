#pragma once
// Who we are, which version this is, and every address of the maker and its products. The maker
// and the products are fictional, so every address lives under the reserved .example domain.
#include <cstdint>

inline constexpr char CompanyName[] = "Tarvenix";
inline constexpr char ProductName[] = "Brindlemax";

// One byte per component, the first in the most significant byte: 1.1.0.0.
inline constexpr uint32_t ProgramVersion = 0x01010000;

// The maker's web site, ending in a slash; the bug report posts to a script below it.
inline constexpr char MakerBaseUrl[] = "http://www.tarvenix.example/";
// The About page shows these two as they are, in labels 130 and 110 units wide.
inline constexpr char HomePageUrl[] = "http://tarvenix.example/";
inline constexpr char SupportAddress[] = "bx@tarvenix.example";

// The reseller's order pages: exactly 22 characters, scheme and host, no trailing slash.
inline constexpr char ResellerPrefix[] = "https://secure.example";
inline constexpr char ResellerDisplayText[] = "https://secure.example/softsell/...";
static_assert(sizeof(ResellerPrefix) - 1 == 22, "the reseller prefix is 22 characters long");

// The two sibling products on the About page.
inline constexpr char OstrafieldInfoUrl[] = "http://www.tarvenix.example/ostrafield/";
inline constexpr char OstrafieldDownloadUrl[] =
    "http://www.tarvenix.example/download/ostrafield_setup.exe";
inline constexpr char OstrafieldOrderUrl[] = "https://secure.example/softsell/order/ostrafield";
inline constexpr char PellucorInfoUrl[] = "http://www.pellucor.example/";
inline constexpr char PellucorDownloadUrl[] = "http://www.pellucor.example/download/pellucor_setup.exe";
inline constexpr char PellucorOrderUrl[] = "https://secure.example/softsell/order/pellucor";
