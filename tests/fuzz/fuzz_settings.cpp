// Random bytes into the config.xml/FeeConf.xml reader and the locale.xml
// reader. Whatever was read must write out as a file that reads back to the
// same bytes (see the logo below), rate lists must stay sorted and unique, and a locale
// lookup never answers an empty text.
#include <optional>
#include <string>

#include "foundation/byte_stream.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "settings/settings_reader.h"
#include "tests/fuzz/fuzz_target.h"
#include "ui/locale_table.h"

namespace {

using namespace talvio;

void Read(AppSettings& settings, const void* data, std::size_t size) {
    MemoryStream input(data, static_cast<int>(size), MemoryStream::Borrowed);
    ReadSettings(settings, input);
}

void CheckSettings(const std::uint8_t* data, std::size_t size) {
    MemoryRegistry registry;
    LocaleTable locale;
    AppSettings settings(registry, &locale);
    Read(settings, data, size);
    TALVIO_FUZZ_CHECK(settings.activeProgram >= 1);
    TALVIO_FUZZ_CHECK(settings.ringVolume >= 0 && settings.ringVolume <= 65535);
    for (int id = 1; id <= kProgramCount; ++id) {
        const RateList& rates = *settings.RatesOf(id);
        for (std::size_t i = 1; i < rates.size(); ++i) {
            TALVIO_FUZZ_CHECK(ComparePrefixes(rates[i - 1].prefix, rates[i].prefix) < 0);
        }
    }

    // An empty logo is written as val='', which reads back as the default
    // logo; everything else reads back to the same bytes.
    const std::string written = settings.ConfigText();
    AppSettings reread(registry, nullptr);
    Read(reread, written.data(), written.size());
    const std::string rewritten = reread.ConfigText();
    if (!settings.lcdLogo.empty()) TALVIO_FUZZ_CHECK(rewritten == written);
    AppSettings third(registry, nullptr);
    Read(third, rewritten.data(), rewritten.size());
    TALVIO_FUZZ_CHECK(third.ConfigText() == rewritten);
}

void CheckLocale(const std::uint8_t* data, std::size_t size) {
    LocaleTable table;
    MemoryStream input(data, static_cast<int>(size), MemoryStream::Borrowed);
    table.read(input);
    std::size_t total = 0;
    for (const auto& [id, item] : table.items()) {
        TALVIO_FUZZ_CHECK(item.id == id);
        for (const Language& language : table.languages()) {
            table.setLanguage(language.index);
            total += table.getText(id, L"fallback").size();
            const std::optional<std::wstring> text = table.text(id);
            TALVIO_FUZZ_CHECK(!text || !text->empty());  // never a blank label
        }
    }
    volatile std::size_t sink = total;
    (void)sink;
}

}  // namespace

TALVIO_FUZZ_TARGET(settings) {
    CheckSettings(data, size);
    CheckLocale(data, size);
    return 0;
}
