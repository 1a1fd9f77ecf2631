// Effect sounds for tests: nothing plays, every sound is recorded by name
// ("splash" for a splash sound).
#pragma once

#include "model/effect_sounds.h"

#include <string>
#include <vector>

class RecordingEffects : public IEffectSounds {
public:
    void PlayEffect(std::string_view name) override { played.emplace_back(name); }
    void PlaySplashSound() override { played.emplace_back("splash"); }
    std::vector<std::string> played;
};
