// The locale names Windows knows, with their language IDs, for -ln.
#include "rcdriver/compile_options.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace brevok {

namespace {

struct LocaleName {
    const char* name;
    std::uint16_t language;
};

// Windows' locale names with a language ID of their own, lower case with - for _, sorted by name, as the
// Windows language code identifier reference lists them.
constexpr LocaleName kLocaleNames[] = {
    {"af-za", 0x0436}, {"am-et", 0x045E}, {"ar-ae", 0x3801}, {"ar-bh", 0x3C01}, {"ar-dz", 0x1401},
    {"ar-eg", 0x0C01}, {"ar-iq", 0x0801}, {"ar-jo", 0x2C01}, {"ar-kw", 0x3401}, {"ar-lb", 0x3001},
    {"ar-ly", 0x1001}, {"ar-ma", 0x1801}, {"ar-om", 0x2001}, {"ar-qa", 0x4001}, {"ar-sa", 0x0401},
    {"ar-sy", 0x2801}, {"ar-tn", 0x1C01}, {"ar-ye", 0x2401}, {"arn-cl", 0x047A}, {"as-in", 0x044D},
    {"az-cyrl-az", 0x082C}, {"az-latn-az", 0x042C}, {"ba-ru", 0x046D}, {"be-by", 0x0423}, {"bg-bg", 0x0402},
    {"bn-in", 0x0445}, {"bo-cn", 0x0451}, {"br-fr", 0x047E}, {"bs-cyrl-ba", 0x201A}, {"bs-latn-ba", 0x141A},
    {"ca-es", 0x0403}, {"co-fr", 0x0483}, {"cs-cz", 0x0405}, {"cy-gb", 0x0452}, {"da-dk", 0x0406},
    {"de-at", 0x0C07}, {"de-ch", 0x0807}, {"de-de", 0x0407}, {"de-li", 0x1407}, {"de-lu", 0x1007},
    {"dsb-de", 0x082E}, {"dv-mv", 0x0465}, {"el-gr", 0x0408}, {"en-029", 0x2409}, {"en-au", 0x0C09},
    {"en-bz", 0x2809}, {"en-ca", 0x1009}, {"en-gb", 0x0809}, {"en-ie", 0x1809}, {"en-in", 0x4009},
    {"en-my", 0x4409}, {"en-nz", 0x1409}, {"en-ph", 0x3409}, {"en-sg", 0x4809}, {"en-tt", 0x2C09},
    {"en-us", 0x0409}, {"en-za", 0x1C09}, {"en-zw", 0x3009}, {"es-ar", 0x2C0A}, {"es-bo", 0x400A},
    {"es-cl", 0x340A}, {"es-co", 0x240A}, {"es-cr", 0x140A}, {"es-do", 0x1C0A}, {"es-ec", 0x300A},
    {"es-es", 0x0C0A}, {"es-es-tradnl", 0x040A}, {"es-gt", 0x100A}, {"es-hn", 0x480A}, {"es-mx", 0x080A},
    {"es-ni", 0x4C0A}, {"es-pa", 0x180A}, {"es-pe", 0x280A}, {"es-pr", 0x500A}, {"es-py", 0x3C0A},
    {"es-sv", 0x440A}, {"es-us", 0x540A}, {"es-uy", 0x380A}, {"es-ve", 0x200A}, {"et-ee", 0x0425},
    {"eu-es", 0x042D}, {"fa-ir", 0x0429}, {"fi-fi", 0x040B}, {"fil-ph", 0x0464}, {"fo-fo", 0x0438},
    {"fr-be", 0x080C}, {"fr-ca", 0x0C0C}, {"fr-ch", 0x100C}, {"fr-fr", 0x040C}, {"fr-lu", 0x140C},
    {"fr-mc", 0x180C}, {"fy-nl", 0x0462}, {"ga-ie", 0x083C}, {"gl-es", 0x0456}, {"gsw-fr", 0x0484},
    {"gu-in", 0x0447}, {"ha-latn-ng", 0x0468}, {"he-il", 0x040D}, {"hi-in", 0x0439}, {"hr-ba", 0x101A},
    {"hr-hr", 0x041A}, {"hsb-de", 0x042E}, {"hu-hu", 0x040E}, {"hy-am", 0x042B}, {"id-id", 0x0421},
    {"ii-cn", 0x0478}, {"is-is", 0x040F}, {"it-ch", 0x0810}, {"it-it", 0x0410}, {"iu-cans-ca", 0x045D},
    {"iu-latn-ca", 0x085D}, {"ja-jp", 0x0411}, {"ka-ge", 0x0437}, {"kk-kz", 0x043F}, {"kl-gl", 0x046F},
    {"km-kh", 0x0453}, {"kn-in", 0x044B}, {"ko-kr", 0x0412}, {"kok-in", 0x0457}, {"ky-kg", 0x0440},
    {"lb-lu", 0x046E}, {"lo-la", 0x0454}, {"lt-lt", 0x0427}, {"lv-lv", 0x0426}, {"mi-nz", 0x0481},
    {"mk-mk", 0x042F}, {"ml-in", 0x044C}, {"mn-mn", 0x0450}, {"mn-mong-cn", 0x0850}, {"moh-ca", 0x047C},
    {"mr-in", 0x044E}, {"ms-bn", 0x083E}, {"ms-my", 0x043E}, {"mt-mt", 0x043A}, {"nb-no", 0x0414},
    {"ne-np", 0x0461}, {"nl-be", 0x0813}, {"nl-nl", 0x0413}, {"nn-no", 0x0814}, {"nso-za", 0x046C},
    {"oc-fr", 0x0482}, {"or-in", 0x0448}, {"pa-in", 0x0446}, {"pl-pl", 0x0415}, {"prs-af", 0x048C},
    {"ps-af", 0x0463}, {"pt-br", 0x0416}, {"pt-pt", 0x0816}, {"quc-latn-gt", 0x0486}, {"quz-bo", 0x046B},
    {"quz-ec", 0x086B}, {"quz-pe", 0x0C6B}, {"rm-ch", 0x0417}, {"ro-ro", 0x0418}, {"ru-ru", 0x0419},
    {"rw-rw", 0x0487}, {"sa-in", 0x044F}, {"sah-ru", 0x0485}, {"se-fi", 0x0C3B}, {"se-no", 0x043B},
    {"se-se", 0x083B}, {"si-lk", 0x045B}, {"sk-sk", 0x041B}, {"sl-si", 0x0424}, {"sma-no", 0x183B},
    {"sma-se", 0x1C3B}, {"smj-no", 0x103B}, {"smj-se", 0x143B}, {"smn-fi", 0x243B}, {"sms-fi", 0x203B},
    {"sq-al", 0x041C}, {"sr-cyrl-ba", 0x1C1A}, {"sr-cyrl-cs", 0x0C1A}, {"sr-cyrl-me", 0x301A},
    {"sr-cyrl-rs", 0x281A}, {"sr-latn-ba", 0x181A}, {"sr-latn-cs", 0x081A}, {"sr-latn-me", 0x2C1A},
    {"sr-latn-rs", 0x241A}, {"sv-fi", 0x081D}, {"sv-se", 0x041D}, {"sw-ke", 0x0441}, {"syr-sy", 0x045A},
    {"ta-in", 0x0449}, {"te-in", 0x044A}, {"tg-cyrl-tj", 0x0428}, {"th-th", 0x041E}, {"tk-tm", 0x0442},
    {"tn-za", 0x0432}, {"tr-tr", 0x041F}, {"tt-ru", 0x0444}, {"tzm-latn-dz", 0x085F}, {"ug-cn", 0x0480},
    {"uk-ua", 0x0422}, {"ur-in", 0x0820}, {"ur-pk", 0x0420}, {"uz-cyrl-uz", 0x0843}, {"uz-latn-uz", 0x0443},
    {"vi-vn", 0x042A}, {"wo-sn", 0x0488}, {"xh-za", 0x0434}, {"yo-ng", 0x046A}, {"zh-cn", 0x0804},
    {"zh-hans", 0x0004}, {"zh-hant", 0x7C04}, {"zh-hk", 0x0C04}, {"zh-mo", 0x1404}, {"zh-sg", 0x1004},
    {"zh-tw", 0x0404}, {"zu-za", 0x0435},
};

// A language's name alone ("en", "de") names its neutral locale, whose ID is the primary
// language of the language's locales; these languages' neutral IDs are of their own.
constexpr LocaleName kNeutralExceptions[] = {
    {"bs", 0x781A},  {"dsb", 0x7C2E}, {"nb", 0x7C14}, {"nn", 0x7814}, {"sma", 0x783B},
    {"smj", 0x7C3B}, {"smn", 0x703B}, {"sms", 0x743B}, {"sr", 0x7C1A}, {"zh", 0x7804},
};

}  // namespace

std::optional<std::uint16_t> LanguageOfLocaleName(std::string_view name)
{
    std::string key;
    for (char c : name)
        key += c == '_' ? '-' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    const auto named = [&key](const LocaleName& locale) { return key == locale.name; };
    if (const auto* found = std::find_if(std::begin(kLocaleNames), std::end(kLocaleNames), named);
        found != std::end(kLocaleNames))
        return found->language;
    if (key.empty() || key.find('-') != std::string::npos)
        return std::nullopt;
    if (const auto* found = std::find_if(std::begin(kNeutralExceptions), std::end(kNeutralExceptions), named);
        found != std::end(kNeutralExceptions))
        return found->language;
    const std::string prefix = key + "-";
    for (const LocaleName& locale : kLocaleNames)
        if (std::string_view(locale.name).starts_with(prefix))
            return static_cast<std::uint16_t>(locale.language & 0x3FF);
    return std::nullopt;
}

}  // namespace brevok
