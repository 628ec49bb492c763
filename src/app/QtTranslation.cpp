#include "app/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace zep {

QtTranslation::QtTranslation(const QString &directory)
{
    // German whatever the system's language: the program's own texts are.
    m_loaded = m_translator.load(QStringLiteral("qtbase_de"), directory)
               && QCoreApplication::installTranslator(&m_translator);
}

QtTranslation::~QtTranslation()
{
    if (m_loaded)
        QCoreApplication::removeTranslator(&m_translator);
}

QString QtTranslation::defaultDirectory()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

} // namespace zep
