#include "reference_name_cleaner.h"

#include "names/case_map.h"
#include "names/proper_case.h"
#include "statement/text.h"

#include <vector>

namespace scrivane::fuzz {

std::string
referenceCleanName(std::string_view raw, const NameOptions& options, Charset charset, const LocaleRules& locale)
{
    const CaseMap map(charset);
    const std::string omitList = " " + map.lowerText(textInCharset(options.omitWords, charset)) + " ";

    std::vector<std::string> words;
    std::string s(trimSpaces(raw));
    for (std::size_t space = s.find(' '); space != std::string::npos; space = s.find(' ')) {
        words.push_back(s.substr(0, space));
        s = std::string(trimSpaces(std::string_view(s).substr(space)));
    }
    words.push_back(std::string(trimSpaces(s)));

    std::string result;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::string& word = words[k];
        // The number's value is read too: the engine's test alone, without the
        // conversion, must agree with it.
        const bool dropped = (options.removeNumbers && parseNumber(word, locale).has_value())
            || (options.removeNumbers && !word.empty() && word[0] == '#'
                && parseNumber(std::string_view(word).substr(1), locale).has_value())
            || (options.removeDates && isDateWord(word, locale))
            || (options.removeRepeat && k > 0 && word == words[k - 1])
            || omitList.find(" " + map.lowerText(word) + " ") != std::string::npos;
        if (!dropped)
            result = std::string(trimSpaces(result + " " + std::string(trimSpaces(word))));
    }
    if (!result.empty()) {
        const char last = result.back();
        if (last == '-' || last == '#' || last == '?' || last == '\n')
            result = std::string(trimSpaces(std::string_view(result).substr(0, result.size() - 1)));
    }
    if (options.mixedCase)
        result = std::string(trimSpaces(properCase(result, charset)));
    return result;
}

} // namespace scrivane::fuzz
