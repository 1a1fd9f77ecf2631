// The effect sounds the model asks for. The window level plays them from the
// compiled-in WAVE resources; tests record them.
#pragma once

#include <string_view>

class IEffectSounds {
public:
    virtual ~IEffectSounds() = default;
    // Plays the named WAVE resource ("COOCOO", "WHIZZ", ...) to its end.
    virtual void PlayEffect(std::string_view name) = 0;
    // Plays one of the splash sounds (1, 2, 3 or "SPLAT", equally likely) to its end.
    virtual void PlaySplashSound() = 0;
};
