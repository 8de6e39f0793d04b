// One contact as a client reports it, and the texts derived from it.
// Narrow strings hold the client's UTF-8 bytes. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace talvio {

struct ContactRecord {
    std::string handle;      // key: compared exactly
    std::string handleAnsi;  // handle in the system ANSI code page
    std::string displayName;
    std::string lcdName;     // displayName in the handset's LCD encoding
    std::uint8_t listed = 0;  // 1 = on the user's contact list, 0 = only known
    int onlineStatus = 0;  // -1 unknown, 0 offline, 1 online, 2 away, 3 dnd, 4 na, 5 skypeme, 6 skypeout
    int buddyStatus = 0;   // 1, -1 or 0
    int callForwardActive = 0;
    std::string country;
    std::string city;
    std::string province;
    std::string phoneHome;
    std::string phoneOffice;
    std::string phoneMobile;
    int speedDial = 0;  // 0 = none
    std::string locationText;
    int present = 0;  // friend-list mark: 1 in the last list, -1 stale during a refresh
    std::uint64_t sequence = 0;  // order of first appearance, kept by ContactList
};

// displayName, or handle when that is empty.
const std::string& ShownName(const ContactRecord& contact);

// Applies the "echo123" rule, stores displayName and recomputes lcdName.
void SetShownName(ContactRecord& contact, std::string_view name);

// Null-safe reads for the handset screen; none gives an empty text.
const std::string& ContactShownName(const ContactRecord* contact);
const std::string& ContactHandle(const ContactRecord* contact);
// "city,province,country", leaving out empty parts before the country.
// Rebuilt from the current fields on every call and kept in locationText.
const std::string& ContactLocation(ContactRecord* contact);

// Index into the contact-list icon strip; a null contact gives 1.
int ContactIcon(const ContactRecord* contact);

// Weight of one name byte in the display order.
int CollationWeight(unsigned char byte);

// Display-order comparison (status group, then collated shown name):
// negative when a comes first, 0 when they tie.
int CompareForDisplay(const ContactRecord& a, const ContactRecord& b);

}  // namespace talvio
