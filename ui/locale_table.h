// Interface texts by numeric id, one text per language, read from locale.xml
// in the program's directory; callers keep an English text of their own for
// ids the file does not translate. One table lives for the whole run. Loaded
// and read on the main thread only.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/byte_stream.h"

namespace talvio {

struct Language {
    int index = -1;
    std::wstring tag;
    std::wstring displayName;
};

struct LocaleItem {
    int id = 0;
    int enable = 0;  // read and kept, not consulted
    std::vector<std::pair<int, std::wstring>> texts;  // (language index, text)

    // The text for `language`; without an entry for it, language 0's; without
    // that, empty. An entry that exists but is empty gives the empty text.
    std::wstring text(int language) const;
};

class LocaleTable {
public:
    // The seven languages assumed when locale.xml declares none before its
    // first item.
    static const std::vector<Language>& BuiltInLanguages();

    LocaleTable() = default;
    LocaleTable(const LocaleTable&) = delete;
    LocaleTable& operator=(const LocaleTable&) = delete;

    // Reads locale.xml from the program's directory; false, and the table
    // unchanged, when it cannot be opened.
    bool load();
    // Replaces the items by those of `input`. The languages accumulate.
    // Malformed XML keeps the items completed before the fault.
    void read(ByteStream& input);

    const LocaleItem* findItem(int id) const;
    // The item's text in the current language; nothing when the table has
    // no item of that id or the text is empty, so that the caller keeps its
    // built-in English text.
    std::optional<std::wstring> text(int id) const;
    // text(id), else `fallback`.
    std::wstring getText(int id, std::wstring_view fallback) const;

    // Not checked against the language list; true when the language changed.
    bool setLanguage(int index) {
        const bool changed = index != currentLanguage_;
        currentLanguage_ = index;
        return changed;
    }
    int currentLanguage() const { return currentLanguage_; }
    const std::vector<Language>& languages() const { return languages_; }
    const std::map<int, LocaleItem>& items() const { return items_; }

private:
    class Reader;

    std::vector<Language> languages_;
    std::map<int, LocaleItem> items_;
    int currentLanguage_ = 0;
};

}  // namespace talvio
