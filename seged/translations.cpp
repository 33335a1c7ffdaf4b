#include "seged/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

bool InstallHungarianTranslations(QCoreApplication& app)
{
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + "/translations"};
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : folders) {
        if (!translator->load(QStringLiteral("qtbase_hu"), folder))
            continue;
        translator->setParent(&app);
        return app.installTranslator(translator.release());
    }
    qWarning("Qt's Hungarian translation (qtbase_hu.qm) was not found; dialogs use English texts");
    return false;
}
