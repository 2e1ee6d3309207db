#pragma once

// The maker's web addresses, kept here and nowhere else. Wide, so the Windows shell takes them as
// they are.
namespace MakerLinks {

inline constexpr wchar_t website[] = L"https://kestrelby.example/";
inline constexpr wchar_t websiteName[] = L"kestrelby.example";
inline constexpr wchar_t productPage[] = L"https://kestrelby.example/hoverwing/";
inline constexpr wchar_t orderPage[] = L"https://kestrelby.example/hoverwing/order/";

} // namespace MakerLinks
