// The numbers of tonquil.ini: the input (UTF-16) stands for the text of every
// key, read as the player reads each setting and checked by its rule.
#include "player/core/player_state.h"
#include "player/settings/settings.h"

#include <stdint.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<WCHAR> text(size / 2 + 1);
    memcpy(text.data(), data, size / 2 * 2);
    text[size / 2] = 0;
    ShimProfileValue() = text.data();
    for (int i = 0; i < SettingRuleCount; ++i) {
        const SETTING_RULE *rule = &SettingRules[i];
        LONG value = ReadIntSetting(rule->Section, rule->Key, rule->WhenRead, L"tonquil.ini");
        IsAcceptedSetting(rule, value);
    }
    ShimProfileValue() = NULL;
    return 0;
}
