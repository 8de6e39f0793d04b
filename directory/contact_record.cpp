#include "directory/contact_record.h"

#include <array>

#include "directory/lcd_text.h"

namespace talvio {
namespace {

const std::string kNoText;
constexpr std::string_view kEchoHandle = "echo123";
constexpr std::string_view kEchoName = "Skype Call Testing";

bool StartsWithSkype(std::string_view name) {
    constexpr std::string_view prefix = "skype";
    if (name.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

constexpr std::array<int, 256> MakeWeights() {
    std::array<int, 256> weights{};
    for (int b = 0; b < 256; ++b) weights[b] = b;
    constexpr std::string_view punctuation = "'- !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";
    for (std::size_t i = 0; i < punctuation.size(); ++i)
        weights[static_cast<unsigned char>(punctuation[i])] = 32 + static_cast<int>(i);
    for (int d = 0; d < 10; ++d) weights['0' + d] = 80 + d;
    for (int l = 0; l < 26; ++l) {
        weights['A' + l] = 97 + l;
        weights['a' + l] = 97 + l;
    }
    return weights;
}
constexpr std::array<int, 256> kWeights = MakeWeights();

int StatusGroup(const ContactRecord& contact) {
    if (contact.onlineStatus >= 1 && contact.onlineStatus <= 5) return 0;
    if (contact.onlineStatus == 6) return 5;
    return contact.callForwardActive ? 5 : 9;
}

std::string_view SkipLeadingApostrophes(std::string_view name) {
    while (name.size() > 1 && name.front() == '\'') name.remove_prefix(1);
    return name;
}

}  // namespace

const std::string& ShownName(const ContactRecord& contact) {
    return contact.displayName.empty() ? contact.handle : contact.displayName;
}

void SetShownName(ContactRecord& contact, std::string_view name) {
    if (contact.handle == kEchoHandle && !StartsWithSkype(name)) name = kEchoName;
    contact.displayName.assign(name);
    contact.lcdName = EncodeLcdText(contact.displayName);
}

const std::string& ContactShownName(const ContactRecord* contact) {
    return contact ? ShownName(*contact) : kNoText;
}

const std::string& ContactHandle(const ContactRecord* contact) {
    return contact ? contact->handle : kNoText;
}

const std::string& ContactLocation(ContactRecord* contact) {
    if (!contact) return kNoText;
    // Rebuilt each time: the parts arrive one reply at a time, and a text
    // kept from the first request would miss the later ones.
    std::string& text = contact->locationText;
    text.clear();
    if (!contact->city.empty()) text.append(contact->city).append(",");
    if (!contact->province.empty()) text.append(contact->province).append(",");
    text.append(contact->country);
    return text;
}

int ContactIcon(const ContactRecord* contact) {
    if (!contact) return 1;
    switch (contact->onlineStatus) {
    // The icon group runs online, unknown, offline, away, not available, ...
    case 1: return 0;
    case 2: return 3;
    case 3: return 5;
    case 4: return 4;
    case 5: return 6;
    case 6: return 7;
    default: return contact->buddyStatus == 1 ? 2 : 1;
    }
}

int CollationWeight(unsigned char byte) { return kWeights[byte]; }

int CompareForDisplay(const ContactRecord& a, const ContactRecord& b) {
    const int groupA = StatusGroup(a);
    const int groupB = StatusGroup(b);
    if (groupA != groupB) return groupA - groupB;
    const std::string_view nameA = SkipLeadingApostrophes(ShownName(a));
    const std::string_view nameB = SkipLeadingApostrophes(ShownName(b));
    std::size_t i = 0;
    for (; i < nameA.size() && i < nameB.size(); ++i) {
        const auto byteA = static_cast<unsigned char>(nameA[i]);
        const auto byteB = static_cast<unsigned char>(nameB[i]);
        if (byteA == byteB) continue;
        const int difference = kWeights[byteA] - kWeights[byteB];
        if (difference != 0) return difference;
    }
    // The shorter name comes first (by length, so an embedded zero byte
    // cannot make two different names tie).
    if (i < nameA.size()) return 1;
    return i < nameB.size() ? -1 : 0;
}

}  // namespace talvio
