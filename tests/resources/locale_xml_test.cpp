// The shipped locale.xml against what the program looks up: the ids come
// from the program's own descriptions (the tray menu, the dialog templates,
// the string table, the LCD texts), so a new text without a translation, or
// a translation under a mistyped id, fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/byte_stream.h"
#include "foundation/text_convert.h"
#include "handset_ui/lcd_font.h"
#include "handset_ui/lcd_raster.h"
#include "handset_ui/lcd_texts.h"
#include "resources/dialog_templates.h"
#include "resources/program_art.h"
#include "resources/program_strings.h"
#include "ui/locale_table.h"

namespace talvio {
namespace {

constexpr int kLanguageCount = 7;
constexpr std::uint32_t kMenuPlaceholder = 65535;  // "myLanguage" and "myFocus"
constexpr std::uint32_t kIconStatic = 0x0003;      // SS_ICON

class ShippedLocale : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        FileStream file;
        ASSERT_TRUE(file.open(Utf8ToWide(TALVIO_LOCALE_XML)));
        table_.read(file);
    }

    static std::wstring Text(int id, int language) {
        const LocaleItem* item = table_.findItem(id);
        return item != nullptr ? item->text(language) : std::wstring();
    }

    static LocaleTable table_;
};
LocaleTable ShippedLocale::table_;

// Every id the program asks locale.xml for, with the English text it shows
// without one: the menu's entries, each dialog's "Button" and "Static"
// controls that carry a text (their text is replaced by control id), the
// string table and the LCD texts.
std::map<int, std::wstring> LookedUpIds() {
    std::map<int, std::wstring> ids;
    for (const art::MenuEntry& entry : art::TrayMenu().entries)
        if (!entry.separator && entry.id != kMenuPlaceholder) ids[static_cast<int>(entry.id)] = Utf8ToWide(entry.text);
    for (const art::DialogTemplate& dialog : art::DialogTemplates()) {
        for (const art::DialogItem& item : dialog.items) {
            const std::string_view kind = item.className;
            const bool icon = kind == "Static" && (item.style & 0x1F) == kIconStatic;
            if ((kind == "Button" || kind == "Static") && !icon && *item.text != '\0')
                ids[item.id] = Utf8ToWide(item.text);
        }
    }
    for (const art::ProgramString& string : art::kProgramStrings) ids[string.id] = std::wstring(string.english);
    for (const auto& [key, english] : LcdTexts::All()) ids[key] = std::wstring(english);
    return ids;
}

TEST_F(ShippedLocale, DeclaresTheSevenBuiltInLanguagesWithTheirOwnNames) {
    const auto& builtIn = LocaleTable::BuiltInLanguages();
    ASSERT_EQ(table_.languages().size(), builtIn.size());
    for (std::size_t i = 0; i < builtIn.size(); ++i) {
        const Language& language = table_.languages()[i];
        // The per-language elements are named by the built-in tags and fill
        // the built-in indices: the declared ones must be the same.
        EXPECT_EQ(language.index, builtIn[i].index);
        EXPECT_EQ(language.tag, builtIn[i].tag);
        EXPECT_FALSE(language.displayName.empty());
    }
}

TEST_F(ShippedLocale, EveryLookedUpIdHasATextInEveryLanguageAndNoOtherIdIsListed) {
    const std::map<int, std::wstring> ids = LookedUpIds();
    for (const auto& [id, english] : ids) {
        ASSERT_NE(table_.findItem(id), nullptr) << "no item " << id << " (" << WideToUtf8(english) << ")";
        for (int language = 0; language < kLanguageCount; ++language)
            EXPECT_FALSE(Text(id, language).empty()) << "item " << id << " has no text in language " << language;
    }
    for (const auto& [id, item] : table_.items())
        EXPECT_TRUE(ids.count(id)) << "item " << id << " (" << WideToUtf8(item.text(0)) << ") is looked up nowhere";
}

// "Version %s" and "ring tone %d" are filled in by the program.
TEST_F(ShippedLocale, TranslationsKeepThePlaceholdersOfTheEnglishText) {
    auto placeholders = [](const std::wstring& text) {
        std::vector<std::wstring> found;
        for (std::size_t at = text.find(L'%'); at != std::wstring::npos && at + 1 < text.size();
             at = text.find(L'%', at + 2))
            found.push_back(text.substr(at, 2));
        return found;
    };
    for (const auto& [id, english] : LookedUpIds()) {
        for (int language = 0; language < kLanguageCount; ++language)
            EXPECT_EQ(placeholders(Text(id, language)), placeholders(english))
                << "item " << id << " in language " << language << ": " << WideToUtf8(Text(id, language));
    }
}

// Each entry of the tray menu is reached by its own key, in every language.
TEST_F(ShippedLocale, TrayMenuAcceleratorsAreDistinctInEveryLanguage) {
    std::vector<int> menuIds = {art::kLanguageMenu, art::kProgramMenu};
    for (const art::MenuEntry& entry : art::TrayMenu().entries)
        if (!entry.separator && entry.id != kMenuPlaceholder) menuIds.push_back(static_cast<int>(entry.id));
    for (int language = 0; language < kLanguageCount; ++language) {
        std::set<wchar_t> keys;
        for (int id : menuIds) {
            const std::wstring text = Text(id, language);
            const std::size_t at = text.find(L'&');
            ASSERT_TRUE(at != std::wstring::npos && at + 1 < text.size())
                << "menu item " << id << " has no access key in language " << language;
            EXPECT_TRUE(keys.insert(static_cast<wchar_t>(std::towlower(text[at + 1]))).second)
                << "menu item " << id << " repeats access key '" << WideToUtf8(text.substr(at + 1, 1))
                << "' in language " << language;
        }
    }
}

// Where the LCD shows each text: the softkeys are half the 128-pixel line in
// the small font, the bar under the dial field the whole line, the state
// line of the idle page the whole line in the large font, and list rows the
// 105 pixels between the row icon and the scroll bar.
struct LcdPlace {
    LcdFontSize font;
    int width;
};
const std::map<int, LcdPlace>& LcdPlaces() {
    static const std::map<int, LcdPlace> places = [] {
        std::map<int, LcdPlace> map;
        for (int key : {kLcdMenu, kLcdOk, kLcdBack, kLcdCall, kLcdClear, kLcdDetail, kLcdPlay, kLcdStop,
                        kLcdCancel, kLcdHangUp, kLcdResume, kLcdAccept, kLcdRefuse, kLcdHold, kLcdMute})
            map[key] = {LcdFontSize::kSmall, 64};
        map[kLcdDelete] = {LcdFontSize::kSmall, 128};
        for (int key : {kLcdOffline, kLcdUnavailable}) map[key] = {LcdFontSize::kLarge, 128};
        for (int key : {kLcdEmpty, kLcdIncomingCall, kLcdOutgoingCall, kLcdMissedCall, kLcdVoiceMail,
                        kLcdHistoryCall, kLcdActiveVoip, kLcdVolumeSetting})
            map[key] = {LcdFontSize::kLarge, 105};
        return map;
    }();
    return places;
}

// The LCD fonts hold Latin, kana and the GBK ideographs, not Hangul: a text
// the fonts cannot draw would show boxes. A text may overrun its place (rows
// scroll) only as far as the English one does.
TEST_F(ShippedLocale, LcdTextsAreDrawableAndFitTheirPlace) {
    for (const auto& [key, english] : LcdTexts::All()) {
        const auto place = LcdPlaces().find(key);
        ASSERT_NE(place, LcdPlaces().end()) << "LCD text " << key << " has no place in this test";
        const LcdFont& font = LcdFontOf(place->second.font);
        const int limit = std::max(place->second.width, LineWidth(font, english));
        for (int language = 0; language < kLanguageCount; ++language) {
            const std::wstring text = Text(key, language);
            for (wchar_t c : text)
                EXPECT_NE(font.Find(c).run, nullptr)
                    << "LCD text " << key << " in language " << language << " has no glyph for U+" << std::hex
                    << static_cast<int>(c) << std::dec;
            EXPECT_LE(LineWidth(font, text), limit)
                << "LCD text " << key << " in language " << language << ": " << WideToUtf8(text);
        }
    }
}

}  // namespace
}  // namespace talvio
