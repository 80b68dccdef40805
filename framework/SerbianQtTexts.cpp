#include "framework/SerbianQtTexts.h"

SerbianQtTexts::SerbianQtTexts(QObject* parent) : QTranslator(parent)
{
    m_loaded = load(QStringLiteral(":/translations/qt_sr.qm"));
}
