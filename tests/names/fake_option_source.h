#pragma once

#include "names/name_options.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// An in-memory settings store that remembers what it was asked for.
class FakeOptionSource : public scrivane::OptionSource
{
public:
    std::string getUserSetting(std::string_view key, const scrivane::SettingDefault& defaultValue) const override
    {
        asked.emplace_back(std::string(key), defaultValue);
        auto it = stored.find(key);
        return it != stored.end() ? it->second : scrivane::settingText(defaultValue);
    }

    std::map<std::string, std::string, std::less<>> stored;
    mutable std::vector<std::pair<std::string, scrivane::SettingDefault>> asked;
};
