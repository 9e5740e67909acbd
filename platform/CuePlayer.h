#pragma once

#include <QString>

// Plays a sound cue file in the background. A new cue cuts off the one still playing; a file
// that is missing or unreadable plays the desktop's default event sound instead; with no sound
// server nothing is heard. Never blocks, never reports an error.
class CuePlayer {
public:
    virtual ~CuePlayer() = default;
    virtual void Play(const QString &path) = 0;
};

// For places where no sound may be made (before a player is installed).
class SilentCuePlayer final : public CuePlayer {
public:
    void Play(const QString &) override {}
};
