#pragma once

#include <QTranslator>

// Qt's own texts that the program shows (the file prompts, the message
// boxes' buttons, the menus of edit fields and scroll bars) in Serbian in
// Latin letters, as every text of ours is. Debian ships no Serbian
// translation of Qt, so the program brings its own for what it shows
// (framework/qt_sr.ts, compiled into the library). Installed once by the
// application; a text it lacks stays in English.
class SerbianQtTexts : public QTranslator {
public:
    explicit SerbianQtTexts(QObject* parent = nullptr);

    // False when the compiled translation is missing from the build.
    bool Loaded() const { return m_loaded; }

private:
    bool m_loaded = false;
};
