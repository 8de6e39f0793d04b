#include "ui/locale_table.h"

#include <array>
#include <cstring>

#include "foundation/text_convert.h"
#include "foundation/xml_reader.h"
#include "settings/attribute_values.h"
#include "settings/program_files.h"

namespace talvio {
namespace {

// The built-in languages' tags, which are also the element names of their
// texts inside an item; position = language index.
constexpr std::array<const char*, 7> kBuiltInTags = {
    "English", "SimpleChinese", "TraditionalChinese", "Portuguese", "Polish", "Japanese", "Korea",
};

int BuiltInIndex(const char* element) {
    for (std::size_t index = 0; index < kBuiltInTags.size(); ++index) {
        if (std::strcmp(element, kBuiltInTags[index]) == 0) return static_cast<int>(index);
    }
    return -1;
}

std::wstring WideOf(const char* utf8) { return utf8 == nullptr ? std::wstring() : Utf8ToWide(utf8); }

}  // namespace

std::wstring LocaleItem::text(int language) const {
    const std::wstring* first = nullptr;
    for (const auto& [index, value] : texts) {
        if (index == language) return value;
        if (index == 0 && first == nullptr) first = &value;
    }
    return first != nullptr ? *first : std::wstring();
}

const std::vector<Language>& LocaleTable::BuiltInLanguages() {
    static const std::vector<Language> languages = {
        {0, L"English", L"English"},
        {1, L"SimpleChinese", L"Simple Chinese"},
        {2, L"TraditionalChinese", L"Traditional Chinese"},
        {3, L"Portuguese", L"Portuguese"},
        {4, L"Polish", L"Polish"},
        {5, L"Japanese", L"Japanese"},
        {6, L"Korea", L"Korea"},
    };
    return languages;
}

class LocaleTable::Reader : public XmlHandler {
public:
    explicit Reader(LocaleTable& table) : table_(table) {}

    void startDocument() override {}

    void startElement(const Utf8String& name, const XmlAttributes* attributes) override {
        const char* element = name.c_str();
        if (std::strcmp(element, "Item") == 0) {
            startItem(attributes);
        } else if (std::strcmp(element, "Language") == 0) {
            table_.languages_.push_back({AttributeNumber(attributes, "id", -1),
                                         WideOf(AttributeText(attributes, "tag")),
                                         WideOf(AttributeText(attributes, "name"))});
        } else if (const int builtIn = BuiltInIndex(element); builtIn >= 0) {
            setText(builtIn, AttributeText(attributes, "value"));
        } else if (std::strcmp(element, "Text") == 0) {
            const int language = AttributeNumber(attributes, "id", -1);
            if (language >= 0) setText(language, AttributeText(attributes, "value"));
        }
    }

    void characters(const char*, int) override {}

    void endElement(const Utf8String& name) override {
        if (!current_ || std::strcmp(name.c_str(), "Item") != 0) return;
        // The first item of an id wins.
        table_.items_.try_emplace(current_->id, std::move(*current_));
        current_.reset();
    }

    void endDocument() override {}

private:
    void startItem(const XmlAttributes* attributes) {
        if (table_.languages_.empty()) table_.languages_ = BuiltInLanguages();
        current_.emplace();
        current_->id = AttributeNumber(attributes, "ID", 0);
        current_->enable = AttributeNumber(attributes, "Enable", 0);
        for (const Language& language : table_.languages_) {
            current_->texts.emplace_back(language.index, std::wstring());
        }
    }

    void setText(int language, const char* value) {
        if (!current_) return;
        for (auto& [index, text] : current_->texts) {
            if (index == language) {
                text = WideOf(value);
                return;
            }
        }
        current_->texts.emplace_back(language, WideOf(value));
    }

    LocaleTable& table_;
    std::optional<LocaleItem> current_;
};

bool LocaleTable::load() {
    FileStream file;
    if (!file.open(ProgramFilePath(L"locale.xml"))) return false;
    read(file);
    return true;
}

void LocaleTable::read(ByteStream& input) {
    items_.clear();
    Reader reader(*this);
    XmlReader parser(reader);
    // Malformed XML ends the read; the items completed before it stay.
    parser.tryParse(input, true, true);
}

const LocaleItem* LocaleTable::findItem(int id) const {
    auto found = items_.find(id);
    return found == items_.end() ? nullptr : &found->second;
}

std::optional<std::wstring> LocaleTable::text(int id) const {
    const LocaleItem* item = findItem(id);
    if (item == nullptr) return std::nullopt;
    // An item lists every language, so a translation nobody wrote reads as
    // empty: a blank label would hide the caller's own English text.
    std::wstring found = item->text(currentLanguage_);
    if (found.empty()) return std::nullopt;
    return found;
}

std::wstring LocaleTable::getText(int id, std::wstring_view fallback) const {
    return text(id).value_or(std::wstring(fallback));
}

}  // namespace talvio
