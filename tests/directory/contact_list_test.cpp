#include <gtest/gtest.h>

#include <vector>

#include "directory/contact_list.h"

namespace talvio {
namespace {

class ContactListTest : public ::testing::Test {
protected:
    ContactRecord& Add(const char* handle, int status, const char* name = "", std::uint8_t listed = 1) {
        ContactRecord& contact = list.FindOrAddContact(handle, listed);
        contact.onlineStatus = status;
        contact.displayName = name;
        return contact;
    }

    std::vector<std::string> Forward() {
        std::vector<std::string> handles;
        for (ContactRecord* c = list.GetFirstContact(); c; c = list.GetNextContact(c->handle)) {
            handles.push_back(c->handle);
            if (handles.size() > 100) break;
        }
        return handles;
    }

    ContactList list;
};

TEST_F(ContactListTest, FindOrAddKeepsOneRecordPerExactHandle) {
    ContactRecord& first = list.FindOrAddContact("anna");
    EXPECT_EQ(first.listed, 0);
    EXPECT_EQ(first.onlineStatus, 0);
    EXPECT_EQ(first.handleAnsi, "anna");
    first.city = "Oulu";
    EXPECT_EQ(&list.FindOrAddContact("anna"), &first);
    EXPECT_EQ(first.listed, 0) << "the plain variant leaves a contact unchanged";
    EXPECT_EQ(&list.FindOrAddContact("anna", 1), &first);
    EXPECT_EQ(first.listed, 1);
    EXPECT_EQ(first.city, "Oulu");
    list.FindOrAddContact("Anna");
    list.FindOrAddContact("ann");
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.FindContact("ANNA"), nullptr);
    EXPECT_EQ(&list.FindOrAddContact("anna", 0), &first);
    EXPECT_EQ(first.listed, 0);
}

TEST_F(ContactListTest, HandleIsConvertedToTheAnsiCodePage) {
    EXPECT_EQ(list.FindOrAddContact("j\xC3\xB6rg").handleAnsi, "j\xF6rg");
}

TEST_F(ContactListTest, WalksInDisplayOrderBothWays) {
    Add("off", 0, "Aaron");
    Add("cf", 0, "Zoe").callForwardActive = 1;
    Add("on", 1, "Zack");
    Add("away", 2, "Bea");
    EXPECT_EQ(Forward(), (std::vector<std::string>{"away", "on", "cf", "off"}));
    EXPECT_EQ(list.GetPreviousContact("off")->handle, "cf");
    EXPECT_EQ(list.GetPreviousContact("away"), nullptr);
    EXPECT_EQ(list.GetNextContact("off"), nullptr);
    EXPECT_EQ(list.GetNextContact("nobody"), nullptr);
    EXPECT_EQ(list.GetPreviousContact("nobody"), nullptr);
    EXPECT_EQ(list.GetContactPosition(list.FindContact("away")), 0);
    EXPECT_EQ(list.GetContactPosition(list.FindContact("off")), 3);
    EXPECT_EQ(list.GetContactPosition(nullptr), 0);
}

TEST_F(ContactListTest, EqualContactsKeepTheOrderOfFirstAppearance) {
    Add("b2", 1, "Same");
    Add("a1", 1, "same");
    Add("c3", 1, "SAME");
    EXPECT_EQ(Forward(), (std::vector<std::string>{"b2", "a1", "c3"}));
    EXPECT_EQ(list.GetPreviousContact("c3")->handle, "a1");
    EXPECT_EQ(list.GetContactPosition(list.FindContact("c3")), 2);
}

TEST_F(ContactListTest, OrderFollowsFieldsChangedInPlace) {
    Add("a", 1);
    ContactRecord& b = Add("b", 1);
    EXPECT_EQ(Forward(), (std::vector<std::string>{"a", "b"}));
    b.displayName = "0";
    EXPECT_EQ(Forward(), (std::vector<std::string>{"b", "a"}));
    b.onlineStatus = 0;
    EXPECT_EQ(Forward(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ContactListTest, CountsCoverUnlistedContactsFindsOnlyListed) {
    Add("listed", 1, "Listed", 1);
    Add("known", 4, "Known", 0);
    Add("dnd", 3, "", 1);
    Add("skypeout", 6, "", 1);
    Add("off", 0, "", 1);
    int online = -1;
    EXPECT_EQ(list.GetContactCounts(online), 5);
    EXPECT_EQ(online, 3);
    EXPECT_EQ(Forward().size(), 5u);
    EXPECT_EQ(list.FindListedContact("listed")->handle, "listed");
    EXPECT_EQ(list.FindListedContact("known"), nullptr);
    EXPECT_EQ(list.FindContactByName("Listed")->handle, "listed");
    EXPECT_EQ(list.FindContactByName("Known"), nullptr);
    EXPECT_EQ(list.FindContactByName("dnd")->handle, "dnd") << "handle stands for an empty name";
    EXPECT_EQ(list.FindContactByName("listed"), nullptr);
}

TEST_F(ContactListTest, RemovalKeepsIndexAndOrderConsistent) {
    Add("a", 1, "A");
    ContactRecord& b = Add("b", 1, "B");
    Add("c", 1, "C");
    b.present = -1;
    list.RemoveIf([](const ContactRecord& contact) { return contact.present < 0; });
    EXPECT_EQ(list.FindContact("b"), nullptr);
    EXPECT_EQ(Forward(), (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(list.RemoveContact("a"));
    EXPECT_FALSE(list.RemoveContact("a"));
    EXPECT_EQ(list.count(), 1);
    Add("a", 1, "A");
    EXPECT_EQ(Forward(), (std::vector<std::string>{"a", "c"}));
    list.Clear();
    EXPECT_EQ(list.GetFirstContact(), nullptr);
    EXPECT_EQ(list.FindContact("c"), nullptr);
}

}  // namespace
}  // namespace talvio
