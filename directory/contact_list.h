// The contacts of one connector: a list in order of first appearance with a
// handle index, and the display-order queries the handset screen uses.
// Records stay at the same address until they are removed or the list is
// cleared; their handle is the index key and must not be changed in place.
// Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <string_view>

#include "directory/contact_record.h"

namespace talvio {

class VoipConnector;

class ContactList {
public:
    explicit ContactList(VoipConnector* owner = nullptr) : owner_(owner) {}
    ContactList(const ContactList&) = delete;
    ContactList& operator=(const ContactList&) = delete;

    VoipConnector* owner() const { return owner_; }  // not owned
    int count() const { return static_cast<int>(records_.size()); }

    ContactRecord* FindContact(std::string_view handle);
    // An existing contact gets `listed`; a new one is appended with it.
    ContactRecord& FindOrAddContact(std::string_view handle, std::uint8_t listed);
    // Leaves an existing contact unchanged; a new one gets listed 0.
    ContactRecord& FindOrAddContact(std::string_view handle);
    bool RemoveContact(std::string_view handle);
    // Removes every contact for which `drop` returns true.
    void RemoveIf(const std::function<bool(const ContactRecord&)>& drop);
    void Clear();

    std::list<ContactRecord>::iterator begin() { return records_.begin(); }
    std::list<ContactRecord>::iterator end() { return records_.end(); }

    // Display-order queries over every contact, listed or not.
    ContactRecord* GetFirstContact();
    ContactRecord* GetNextContact(std::string_view handle);      // none after the last
    ContactRecord* GetPreviousContact(std::string_view handle);  // none before the first
    int GetContactPosition(const ContactRecord* contact);
    // Total count; onlineCount gets the contacts with status 1 to 4.
    int GetContactCounts(int& onlineCount) const;

    // Lookups of listed contacts only.
    ContactRecord* FindListedContact(std::string_view handle);
    ContactRecord* FindContactByName(std::string_view shownName);

private:
    ContactRecord& Append(std::string_view handle, std::uint8_t listed);

    VoipConnector* owner_;
    std::list<ContactRecord> records_;
    std::map<std::string, std::list<ContactRecord>::iterator, std::less<>> byHandle_;
    std::uint64_t nextSequence_ = 0;
};

}  // namespace talvio
