#include "directory/contact_list.h"

#include "foundation/text_convert.h"

namespace talvio {
namespace {

// Display order made total: ties keep the order of first appearance.
bool ComesBefore(const ContactRecord& a, const ContactRecord& b) {
    const int order = CompareForDisplay(a, b);
    return order < 0 || (order == 0 && a.sequence < b.sequence);
}

}  // namespace

ContactRecord* ContactList::FindContact(std::string_view handle) {
    const auto found = byHandle_.find(handle);
    return found == byHandle_.end() ? nullptr : &*found->second;
}

ContactRecord& ContactList::FindOrAddContact(std::string_view handle, std::uint8_t listed) {
    if (ContactRecord* contact = FindContact(handle)) {
        contact->listed = listed;
        return *contact;
    }
    return Append(handle, listed);
}

ContactRecord& ContactList::FindOrAddContact(std::string_view handle) {
    if (ContactRecord* contact = FindContact(handle)) return *contact;
    return Append(handle, 0);
}

ContactRecord& ContactList::Append(std::string_view handle, std::uint8_t listed) {
    ContactRecord& contact = records_.emplace_back();
    contact.handle.assign(handle);
    contact.handleAnsi = Utf8ToAnsi(handle);
    contact.listed = listed;
    contact.sequence = nextSequence_++;
    byHandle_.emplace(contact.handle, std::prev(records_.end()));
    return contact;
}

bool ContactList::RemoveContact(std::string_view handle) {
    const auto found = byHandle_.find(handle);
    if (found == byHandle_.end()) return false;
    records_.erase(found->second);
    byHandle_.erase(found);
    return true;
}

void ContactList::RemoveIf(const std::function<bool(const ContactRecord&)>& drop) {
    for (auto it = records_.begin(); it != records_.end();) {
        if (drop(*it)) {
            byHandle_.erase(it->handle);
            it = records_.erase(it);
        } else {
            ++it;
        }
    }
}

void ContactList::Clear() {
    byHandle_.clear();
    records_.clear();
}

// The display-order queries scan the list instead of keeping it sorted:
// the protocol code changes names and statuses in place, so a sorted copy
// could go stale, and a scan is cheap for a contact list.
ContactRecord* ContactList::GetFirstContact() {
    ContactRecord* first = nullptr;
    for (ContactRecord& contact : records_)
        if (!first || ComesBefore(contact, *first)) first = &contact;
    return first;
}

ContactRecord* ContactList::GetNextContact(std::string_view handle) {
    const ContactRecord* current = FindContact(handle);
    if (!current) return nullptr;
    ContactRecord* next = nullptr;
    for (ContactRecord& contact : records_)
        if (ComesBefore(*current, contact) && (!next || ComesBefore(contact, *next))) next = &contact;
    return next;
}

ContactRecord* ContactList::GetPreviousContact(std::string_view handle) {
    const ContactRecord* current = FindContact(handle);
    if (!current) return nullptr;
    ContactRecord* previous = nullptr;
    for (ContactRecord& contact : records_)
        if (ComesBefore(contact, *current) && (!previous || ComesBefore(*previous, contact)))
            previous = &contact;
    return previous;
}

int ContactList::GetContactPosition(const ContactRecord* contact) {
    if (!contact) return 0;
    int before = 0;
    for (const ContactRecord& other : records_)
        if (ComesBefore(other, *contact)) ++before;
    return before;
}

int ContactList::GetContactCounts(int& onlineCount) const {
    onlineCount = 0;
    for (const ContactRecord& contact : records_)
        if (contact.onlineStatus >= 1 && contact.onlineStatus <= 4) ++onlineCount;
    return count();
}

ContactRecord* ContactList::FindListedContact(std::string_view handle) {
    ContactRecord* contact = FindContact(handle);
    return contact && contact->listed ? contact : nullptr;
}

ContactRecord* ContactList::FindContactByName(std::string_view shownName) {
    for (ContactRecord& contact : records_)
        if (contact.listed && ShownName(contact) == shownName) return &contact;
    return nullptr;
}

}  // namespace talvio
