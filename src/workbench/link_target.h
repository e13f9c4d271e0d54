// What a link label holds and hands to the shell: a web or an e-mail address, and the maker's.
#pragma once

#include <cstdint>
#include <string>

namespace brevok {

/// What kind of address a link label holds.
enum class LinkType : std::uint8_t {
    ltURL = 0,    ///< handed to the shell unchanged
    ltEMAIL = 1,  ///< "mailto:" is put in front of it
};

/// The text a new link label shows until a real address is set.
inline constexpr const char* kDefaultLinkAddress = "http://www.put-your-web-or-email-address-here.com";
/// The hint of every link label, shown as the tool tip over its text.
inline constexpr const char* kLinkHint = "Put here the Hint for your site link!";

/// The maker's addresses, behind the Help menu's two link entries.
inline constexpr const char* kMakerWebAddress = "http://www.halvane.example/";
inline constexpr const char* kMakerMailAddress = "support@halvane.example";

/// What the shell's "open" verb receives for `address`: "mailto:" + address for an e-mail
/// address, whatever the text already starts with; the address itself otherwise.
inline std::string LinkTarget(const std::string& address, LinkType kind)
{
    return kind == LinkType::ltEMAIL ? "mailto:" + address : address;
}

}  // namespace brevok
