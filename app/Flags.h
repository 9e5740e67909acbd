#pragma once

#include <QObject>

namespace Module1 {

// A 16-bit flag of the run: it holds 1 or 0, is always tested against 1, and tells whoever
// follows it when it changes.
class Flag : public QObject {
    Q_OBJECT
public:
    operator qint16() const { return m_value; }
    Flag &operator=(qint16 value);

signals:
    void Changed(qint16 value);

private:
    qint16 m_value = 0;
};

// The run's two switches: 0 at every start, never saved.
struct SharedFlags {
    // 1 while the entry has changes not yet saved. Only the modified marker shows it, and only
    // when the main window refreshes the marker.
    Flag gModified;
    // 1 while sound cues are switched on; the Sound item's check and button follow it.
    Flag gSoundOn;
};

SharedFlags &Flags();

} // namespace Module1
