#pragma once
// The maker's web addresses: the site itself, the advert page shown in the
// window's web panel, and the page behind the advert link.

namespace snipwell {

inline constexpr const char* kMakerSite = "https://quorvane.example";
inline constexpr const char* kAdvertPage = "https://quorvane.example/info.php?n=snipwell";
inline constexpr const char* kAdvertLinkPage = "https://quorvane.example/redirect.html";

}  // namespace snipwell
